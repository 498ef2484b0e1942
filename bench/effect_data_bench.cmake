# The effect data's getters as the draw units read them, and the load of the
# game's effect files, over the writer's packages.
target_link_libraries(effect_data_bench PRIVATE fulgor effect_tools)
target_include_directories(effect_data_bench PRIVATE ${PROJECT_SOURCE_DIR}/tests)
target_sources(effect_data_bench PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/AllocationCount.cpp)
