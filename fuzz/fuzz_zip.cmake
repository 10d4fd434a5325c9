tovrin_fuzz_target(zip ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_zip.cpp DEPS tovrin_document ZLIB::ZLIB)
