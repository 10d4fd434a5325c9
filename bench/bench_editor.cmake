add_executable(bench_editor ${CMAKE_CURRENT_SOURCE_DIR}/bench_editor.cpp)
target_link_libraries(bench_editor PRIVATE tovrin_app benchmark::benchmark)
