# Animated values and colours as the unit tree evaluates them; the records
# are built with the tests' record builder from the effect writer's bytes.
target_link_libraries(effect_value_bench PRIVATE fulgor effect_tools)
target_include_directories(effect_value_bench PRIVATE ${PROJECT_SOURCE_DIR}/tests)
target_sources(effect_value_bench PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/AllocationCount.cpp)
