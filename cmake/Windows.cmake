# The libraries of the Windows build, as the targets the native build gets
# from pkg-config: SDL 1.2 and libmpg123 built statically for Windows into
# TIDEWASH_WINDOWS_LIBRARIES by scripts/windows.sh. The exe links them, the
# C and C++ runtimes and winpthreads statically, so it needs only Windows' own
# DLLs; it stays a console program (SDLmain's console main, no -mwindows).
# The asset packer runs at build time, so it comes from a native build
# (TIDEWASH_HOST_TOOLS, the native tree's folder).
set(TIDEWASH_WINDOWS_LIBRARIES "" CACHE PATH "SDL 1.2 and libmpg123 built for Windows")
set(TIDEWASH_HOST_TOOLS "" CACHE PATH "A native build tree with tidewash_pack")
foreach(file lib/libSDL.a lib/libSDLmain.a lib/libmpg123.a include/SDL/SDL.h include/mpg123.h)
  if(NOT EXISTS ${TIDEWASH_WINDOWS_LIBRARIES}/${file})
    message(FATAL_ERROR "No ${file} in TIDEWASH_WINDOWS_LIBRARIES (${TIDEWASH_WINDOWS_LIBRARIES}): "
                        "scripts/windows.sh builds them")
  endif()
endforeach()
set(pack ${TIDEWASH_HOST_TOOLS}/tools/pack/tidewash_pack)
if(NOT EXISTS ${pack})
  message(FATAL_ERROR "No tidewash_pack in TIDEWASH_HOST_TOOLS (${TIDEWASH_HOST_TOOLS})")
endif()

set(libraries ${TIDEWASH_WINDOWS_LIBRARIES})
set(SDL_INCLUDE_DIRS ${libraries}/include/SDL)
add_library(PkgConfig::SDL INTERFACE IMPORTED)
target_include_directories(PkgConfig::SDL SYSTEM INTERFACE ${SDL_INCLUDE_DIRS})
# SDLmain's main comes after libmingw32, whose start-up calls it, and before
# SDL; then the Windows DLLs SDL calls.
target_link_libraries(PkgConfig::SDL INTERFACE mingw32 ${libraries}/lib/libSDLmain.a ${libraries}/lib/libSDL.a
                      user32 gdi32 winmm dxguid)
add_library(PkgConfig::MPG123 INTERFACE IMPORTED)
target_include_directories(PkgConfig::MPG123 SYSTEM INTERFACE ${libraries}/include)
target_link_libraries(PkgConfig::MPG123 INTERFACE ${libraries}/lib/libmpg123.a shlwapi)

add_executable(tidewash_pack IMPORTED)
set_target_properties(tidewash_pack PROPERTIES IMPORTED_LOCATION ${pack})

# No time stamp in the exe's header: the same sources give the same exe.
add_link_options(-static -Wl,--no-insert-timestamp)
# The libraries call OpenGL without linking it; a static link needs
# opengl32's imports after them, at the end of the line.
string(APPEND CMAKE_CXX_STANDARD_LIBRARIES " -lopengl32")
