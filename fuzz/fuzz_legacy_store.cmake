tovrin_fuzz_target(legacy_store ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_legacy_store.cpp DEPS tovrin_document)
