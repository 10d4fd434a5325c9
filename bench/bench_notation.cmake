add_executable(bench_notation ${CMAKE_CURRENT_SOURCE_DIR}/bench_notation.cpp)
target_link_libraries(bench_notation PRIVATE tovrin_notation benchmark::benchmark)
