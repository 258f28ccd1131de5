# System libraries, found once for the whole tree.
find_package(PkgConfig REQUIRED)
find_package(OpenGL REQUIRED COMPONENTS OpenGL GLX)
find_library(MORVEX_OSMESA_LIBRARY NAMES OSMesa REQUIRED)
find_library(MORVEX_GLU_LIBRARY NAMES GLU REQUIRED)
find_package(X11 REQUIRED)
# Section image readers.
find_package(PNG REQUIRED)
find_package(JPEG REQUIRED)
# 4.5 for per-file message handlers (TIFFOpenExt).
find_package(TIFF 4.5 REQUIRED)
# Cached picture tiles are compressed with LZ4.
pkg_check_modules(LZ4 REQUIRED IMPORTED_TARGET liblz4)
# The diagram decodes its next pictures on threads of their own.
find_package(Threads REQUIRED)

# The window-system GL: libGL through glvnd.
add_library(morvex_gl_window INTERFACE)
target_link_libraries(morvex_gl_window INTERFACE ${MORVEX_GLU_LIBRARY} OpenGL::GL)

# Offscreen GL: libOSMesa must come first so that its GL entry points win over
# glvnd's; an executable that resolves them to libGL gets a dead context.
add_library(morvex_gl_offscreen INTERFACE)
target_link_libraries(morvex_gl_offscreen INTERFACE ${MORVEX_OSMESA_LIBRARY} ${MORVEX_GLU_LIBRARY})

# 3-D text: FTGL's polygon font over FreeType; fontconfig finds the font file.
pkg_check_modules(FTGL REQUIRED IMPORTED_TARGET ftgl)
find_package(Freetype REQUIRED)
find_package(Fontconfig REQUIRED)

# FLTK 1.3 with its OpenGL window. Only app/, platform/ and the view's GL
# window binding include its headers.
find_path(MORVEX_FLTK_INCLUDE_DIR FL/Fl.H REQUIRED)
find_library(MORVEX_FLTK_LIBRARY NAMES fltk REQUIRED)
find_library(MORVEX_FLTK_GL_LIBRARY NAMES fltk_gl REQUIRED)
add_library(morvex_fltk INTERFACE)
target_include_directories(morvex_fltk SYSTEM INTERFACE ${MORVEX_FLTK_INCLUDE_DIR})
target_link_libraries(morvex_fltk INTERFACE ${MORVEX_FLTK_GL_LIBRARY} ${MORVEX_FLTK_LIBRARY} X11::X11)

# The importer of section lines: GDAL/OGR reads the vector files, PROJ
# (through GDAL) transforms coordinates. 3.0 for the axis-order strategy.
find_package(GDAL 3.0 REQUIRED)
