# The benchmark song, made through the model and the writer, for the benchmarks and the timed scripts.
add_library(tovrin_bench_song STATIC ${CMAKE_CURRENT_SOURCE_DIR}/BenchSong.cpp)
target_include_directories(tovrin_bench_song PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(tovrin_bench_song PUBLIC tovrin_document)
add_executable(tovrin_make_bench_song ${CMAKE_CURRENT_SOURCE_DIR}/make_bench_song.cpp)
target_link_libraries(tovrin_make_bench_song PRIVATE tovrin_bench_song)
