tovrin_fuzz_target(keyed_archive ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_keyed_archive.cpp DEPS tovrin_foundation)
