# X11 tests run on the Xvfb + openbox display; their windows belong to a helper process.
add_executable(x11_window_helper ${ZOVA_TEST_DIR}/X11WindowHelper.cpp)
target_link_libraries(x11_window_helper PRIVATE zova::build_flags zova::x11)

foreach(name BackendContractTest X11CaptureTest X11ClickTapTest X11ProbeTest X11WindowIconsTest)
  string(TOLOWER ${name} target)
  zova_test(platform_${target} SOURCES ${ZOVA_TEST_DIR}/${name}.cpp LIBS zova::engine zova::x11 LABELS wm)
  target_compile_definitions(platform_${target} PRIVATE ZOVA_X11_HELPER="$<TARGET_FILE:x11_window_helper>")
  add_dependencies(platform_${target} x11_window_helper)
endforeach()
