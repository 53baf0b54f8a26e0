zova_bench(bench_library LibraryBench.cpp)
target_link_libraries(bench_library PRIVATE zova::app)
