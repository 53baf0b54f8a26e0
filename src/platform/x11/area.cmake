# The X11 session: windows, screenshots, the click tap, window operations.
# Only platform/x11 headers include Xlib; code that calls Xlib itself (tests,
# benchmarks) links zova::x11.
pkg_check_modules(ZOVA_X11 REQUIRED IMPORTED_TARGET GLOBAL x11 xcb xcb-res xext xi xtst xcomposite xfixes xrandr xrender)
add_library(zova::x11 ALIAS PkgConfig::ZOVA_X11)
target_link_libraries(zova_platform PRIVATE PkgConfig::ZOVA_X11)
