zova_bench(bench_vision ${CMAKE_CURRENT_SOURCE_DIR}/VisionBench.cpp)
target_link_libraries(bench_vision PRIVATE zova::engine)
