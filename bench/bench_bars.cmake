add_executable(bench_bars ${CMAKE_CURRENT_SOURCE_DIR}/bench_bars.cpp)
target_link_libraries(bench_bars PRIVATE tovrin_model tovrin_test_support benchmark::benchmark)
