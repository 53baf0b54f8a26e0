pkg_check_modules(ZOVA_X11 REQUIRED IMPORTED_TARGET x11 xcb xcb-res xext xi xtst xcomposite xfixes xrandr xrender)
target_sources(zova_platform PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/../CaptureBackend.cpp
  ${CMAKE_CURRENT_LIST_DIR}/X11Display.cpp
  ${CMAKE_CURRENT_LIST_DIR}/X11Properties.cpp
  ${CMAKE_CURRENT_LIST_DIR}/X11ClientProcess.cpp
  ${CMAKE_CURRENT_LIST_DIR}/X11WindowSource.cpp
  ${CMAKE_CURRENT_LIST_DIR}/X11ImageReader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/X11ScreenGrabber.cpp
  ${CMAKE_CURRENT_LIST_DIR}/X11ClickTap.cpp
  ${CMAKE_CURRENT_LIST_DIR}/X11Probe.cpp
  ${CMAKE_CURRENT_LIST_DIR}/X11Backends.cpp
  ${CMAKE_CURRENT_LIST_DIR}/X11WindowOps.cpp
  ${CMAKE_CURRENT_LIST_DIR}/X11Compositing.cpp)
target_link_libraries(zova_platform PUBLIC PkgConfig::ZOVA_X11)
