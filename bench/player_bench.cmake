# The stage and player benchmarks run a director over the sample tables.
target_link_libraries(player_bench PRIVATE game_play sampledata_core)
