pkg_check_modules(ZOVA_FFMPEG REQUIRED IMPORTED_TARGET libavcodec libavformat libavutil libswscale libswresample)
target_sources(zova_platform PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/FFmpegHandles.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Mp4Writer.cpp
)
target_link_libraries(zova_platform PRIVATE PkgConfig::ZOVA_FFMPEG)
