# The script of the web pages that the 3-D export writes: three.js and the
# viewer in gltf/web/src, bundled by esbuild into one file that the program
# holds (gltf/CMorWebViewer.cpp). The npm packages are those that
# gltf/web/package-lock.json pins, installed into the build tree by `npm ci`
# whenever that file changes; the tests use its glTF validator too. Without
# npm the build goes on, and that program writes no web pages.
find_program(MORVEX_NPM npm)
find_program(MORVEX_NODE node)
set(MORVEX_WEB_DIR ${CMAKE_BINARY_DIR}/web)
set(MORVEX_WEB_SOURCE ${PROJECT_SOURCE_DIR}/gltf/web)
if(MORVEX_NPM AND MORVEX_NODE)
    set(MORVEX_WEB_VIEWER ON)
    configure_file(${MORVEX_WEB_SOURCE}/package.json ${MORVEX_WEB_DIR}/package.json COPYONLY)
    configure_file(${MORVEX_WEB_SOURCE}/package-lock.json ${MORVEX_WEB_DIR}/package-lock.json COPYONLY)
    set(web_installed ${MORVEX_WEB_DIR}/node_modules/.package-lock.json)
    add_custom_command(OUTPUT ${web_installed}
        COMMAND ${MORVEX_NPM} ci --no-audit --no-fund --ignore-scripts --loglevel=error
        WORKING_DIRECTORY ${MORVEX_WEB_DIR}
        DEPENDS ${MORVEX_WEB_SOURCE}/package.json ${MORVEX_WEB_SOURCE}/package-lock.json
        COMMENT "Installing the web viewer's npm packages (npm ci)")
    add_custom_command(OUTPUT ${MORVEX_WEB_DIR}/viewer.js
        COMMAND ${CMAKE_COMMAND} -E env NODE_PATH=${MORVEX_WEB_DIR}/node_modules
            ${MORVEX_WEB_DIR}/node_modules/.bin/esbuild ${MORVEX_WEB_SOURCE}/src/viewer.js
            --bundle --minify --format=iife --target=es2020 --legal-comments=eof --log-level=warning
            --outfile=${MORVEX_WEB_DIR}/viewer.js
        DEPENDS ${MORVEX_WEB_SOURCE}/src/viewer.js ${web_installed}
        COMMENT "Bundling the web viewer")
    # Named as a source, the bundle is made before the library compiles.
    target_sources(morvex_gltf PRIVATE ${MORVEX_WEB_DIR}/viewer.js)
    set_source_files_properties(gltf/CMorWebViewer.cpp PROPERTIES
        OBJECT_DEPENDS ${MORVEX_WEB_DIR}/viewer.js
        COMPILE_DEFINITIONS MORVEX_WEB_VIEWER_FILE="${MORVEX_WEB_DIR}/viewer.js")
else()
    set(MORVEX_WEB_VIEWER OFF)
    message(WARNING "npm or node not found: the 3-D export will write no web pages (.html), and their tests are left out.")
endif()
