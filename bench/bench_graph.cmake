add_executable(bench_graph ${CMAKE_CURRENT_SOURCE_DIR}/bench_graph.cpp)
target_link_libraries(bench_graph PRIVATE tovrin_data benchmark::benchmark)
