# The archive benchmark packs its own archive and compares with plain zlib.
target_link_libraries(archive_bench PRIVATE archive_tools)
