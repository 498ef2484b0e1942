target_sources(vfx_device_bench PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/AllocationCount.cpp)
# The effects device's draw against a plain draw on the same context.
target_link_libraries(vfx_device_bench PRIVATE game_vfx)
