# The on-device language model: an OpenAI-compatible chat server on loopback.
target_link_libraries(zova_platform PUBLIC Qt6::Network)
