tovrin_fuzz_target(xml ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_xml.cpp DEPS tovrin_foundation)
