pkg_check_modules(ESPEAK_NG REQUIRED IMPORTED_TARGET espeak-ng)
target_sources(zova_platform PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/EspeakProcessSynthesizer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/EspeakVoiceCatalog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LanguageTag.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SpeechPreviewPlayer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SpeechTypes.cpp
)
target_link_libraries(zova_platform PRIVATE PkgConfig::ESPEAK_NG)
