tovrin_fuzz_target(svg ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_svg.cpp DEPS tovrin_glyphs)
