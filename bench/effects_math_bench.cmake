# The effects runtime's maths against plain loops.
target_link_libraries(effects_math_bench PRIVATE fulgor)
# Benchmarks that show a frame allocates nothing count operator new.
target_sources(effects_math_bench PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/AllocationCount.cpp)
