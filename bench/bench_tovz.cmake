add_executable(bench_tovz ${CMAKE_CURRENT_SOURCE_DIR}/bench_tovz.cpp)
target_link_libraries(bench_tovz PRIVATE tovrin_bench_song tovrin_document LibXml2::LibXml2 benchmark::benchmark)
