# PNG encoding of a 1920 x 1080 screenshot: ours, plain libpng and Qt's writer.
pkg_check_modules(ZOVA_BENCH_PNG REQUIRED IMPORTED_TARGET libpng)
zova_bench(bench_png ${CMAKE_CURRENT_SOURCE_DIR}/PngBench.cpp)
target_include_directories(bench_png PRIVATE ${PROJECT_SOURCE_DIR}/tests/platform)
target_link_libraries(bench_png PRIVATE zova::platform Qt6::Gui PkgConfig::ZOVA_BENCH_PNG)
target_compile_definitions(bench_png PRIVATE ZOVA_SCREENSHOT_DIR="${PROJECT_SOURCE_DIR}/tests/engine/labels")
