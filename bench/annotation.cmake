zova_bench(bench_annotation ${CMAKE_CURRENT_SOURCE_DIR}/AnnotationBench.cpp)
target_link_libraries(bench_annotation PRIVATE zova::annotation Qt6::Gui)
