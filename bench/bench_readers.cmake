add_executable(bench_readers ${CMAKE_CURRENT_SOURCE_DIR}/bench_readers.cpp)
target_link_libraries(bench_readers PRIVATE tovrin_glyphs tovrin_foundation ZLIB::ZLIB)
