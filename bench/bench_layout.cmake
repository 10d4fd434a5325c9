add_executable(bench_layout ${CMAKE_CURRENT_SOURCE_DIR}/bench_layout.cpp)
target_link_libraries(bench_layout PRIVATE tovrin_bench_song tovrin_layout tovrin_document benchmark::benchmark)
