# The stage benchmark runs a director over the sample tables.
target_link_libraries(stage_bench PRIVATE game_play sampledata_core)
