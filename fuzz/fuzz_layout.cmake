tovrin_fuzz_target(layout ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_layout.cpp DEPS tovrin_layout tovrin_document)
