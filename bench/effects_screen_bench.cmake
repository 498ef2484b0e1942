# The game's seven effect files playing through the effects controller and
# its device on the null graphics backend.
target_link_libraries(effects_screen_bench PRIVATE game_vfx fulgor effect_tools)
target_sources(effects_screen_bench PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/AllocationCount.cpp)
