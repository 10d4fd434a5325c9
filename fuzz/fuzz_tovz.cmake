tovrin_fuzz_target(tovz ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_tovz.cpp DEPS tovrin_document)
