# The weapons benchmark runs a director over the sample tables and map.
target_link_libraries(weapons_bench PRIVATE game_play sampledata_core)
