# The on-device language model: an OpenAI-compatible chat server on loopback.
target_sources(zova_platform PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/LlmLog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LocalModelEndpoint.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LocalModelError.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LocalModelClient.h
  ${CMAKE_CURRENT_LIST_DIR}/LocalModelClient.cpp)
target_link_libraries(zova_platform PUBLIC Qt6::Network)
