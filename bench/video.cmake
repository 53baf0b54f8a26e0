zova_bench(bench_video ${CMAKE_CURRENT_SOURCE_DIR}/VideoBench.cpp)
target_link_libraries(bench_video PRIVATE zova::export zova::model zova::platform)
