# The enemy benchmark runs a director over the sample tables.
target_link_libraries(enemy_bench PRIVATE game_play sampledata_core)
