# The start-up benchmark runs the whole game's initialisation.
target_link_libraries(startup_bench PRIVATE game_app)
