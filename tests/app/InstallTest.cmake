# cmake -DBUILD_DIR=... -P InstallTest.cmake
cmake_minimum_required(VERSION 3.25)

# A fresh prefix outside the build tree, as a real installation is.
set(temp "$ENV{TMPDIR}")
if(temp STREQUAL "")
    set(temp "/tmp")
endif()
string(RANDOM LENGTH 10 token)
set(PREFIX "${temp}/tovrin-install-test-${token}")

function(fail message)
    message(FATAL_ERROR "app_install: ${message}")
endfunction()

file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
                RESULT_VARIABLE installed OUTPUT_QUIET ERROR_VARIABLE install_errors)
if(NOT installed EQUAL 0)
    fail("cmake --install failed: ${install_errors}")
endif()

# The program, its resources, the desktop entry, the song types and the icon.
foreach(relative
        bin/tovrin
        share/tovrin/ArticulationSlur.svg
        share/tovrin/cursorRotate.png
        share/tovrin/LICENSE-OFL.txt
        share/applications/org.tovrin.Tovrin.desktop
        share/mime/packages/org.tovrin.Tovrin.xml
        share/icons/hicolor/scalable/apps/org.tovrin.Tovrin.svg)
    if(NOT EXISTS "${PREFIX}/${relative}")
        fail("${relative} was not installed")
    endif()
endforeach()
if(EXISTS "${PREFIX}/share/tovrin/desktop")
    fail("the desktop files went into the program's resources")
endif()

# The desktop entry starts the program with the chosen files and names both song types.
file(READ "${PREFIX}/share/applications/org.tovrin.Tovrin.desktop" entry)
foreach(line "Exec=tovrin %F" "Type=Application"
        "MimeType=application/x-tovrin-song;application/x-tovrin-legacy-song;")
    string(FIND "${entry}" "${line}" at)
    if(at EQUAL -1)
        fail("the desktop entry lacks \"${line}\"")
    endif()
endforeach()
find_program(VALIDATE desktop-file-validate)
if(VALIDATE)
    execute_process(COMMAND "${VALIDATE}" "${PREFIX}/share/applications/org.tovrin.Tovrin.desktop"
                    RESULT_VARIABLE valid OUTPUT_VARIABLE why ERROR_VARIABLE why)
    if(NOT valid EQUAL 0)
        fail("desktop-file-validate: ${why}")
    endif()
endif()

# The file types: "*.tovz" and "*.tovr".
file(READ "${PREFIX}/share/mime/packages/org.tovrin.Tovrin.xml" types)
foreach(text "<mime-type type=\"application/x-tovrin-song\">" "<glob pattern=\"*.tovz\"/>"
        "<mime-type type=\"application/x-tovrin-legacy-song\">" "<glob pattern=\"*.tovr\"/>")
    string(FIND "${types}" "${text}" at)
    if(at EQUAL -1)
        fail("the shared-MIME-info file lacks ${text}")
    endif()
endforeach()
# When the desktop's tool is there, the install has built the prefix's MIME cache, which maps each
# glob to the type the desktop entry names.
find_program(UPDATE_MIME update-mime-database)
if(UPDATE_MIME)
    if(NOT EXISTS "${PREFIX}/share/mime/globs2")
        fail("the MIME cache of the prefix was not refreshed")
    endif()
    file(READ "${PREFIX}/share/mime/globs2" globs)
    foreach(glob "application/x-tovrin-song:*.tovz" "application/x-tovrin-legacy-song:*.tovr")
        string(FIND "${globs}" "${glob}" at)
        if(at EQUAL -1)
            fail("the MIME cache lacks ${glob}")
        endif()
    endforeach()
endif()

# The installed program finds its resources in the prefix: it launches, draws its screen and quits.
# No resource folder is named to it, and it never falls back to the build tree.
set(snapshot "${PREFIX}/launch.png")
execute_process(COMMAND "${CMAKE_COMMAND}" -E env --unset=TOVRIN_RESOURCES
                        "TOVRIN_SNAPSHOT=${snapshot}" "HOME=${PREFIX}/home" "XDG_CONFIG_HOME=${PREFIX}/home/config"
                        "XDG_DATA_HOME=${PREFIX}/home/data" "ASAN_OPTIONS=detect_leaks=0"
                        "${PREFIX}/bin/tovrin"
                RESULT_VARIABLE launched OUTPUT_VARIABLE out ERROR_VARIABLE out TIMEOUT 60)
if(NOT launched EQUAL 0 OR NOT EXISTS "${snapshot}")
    fail("the installed program did not start from the prefix (status ${launched}): ${out}")
endif()

# Without its glyphs it says so and ends with a failure instead of drawing nothing.
file(RENAME "${PREFIX}/share/tovrin/ArticulationSlur.svg" "${PREFIX}/ArticulationSlur.svg")
execute_process(COMMAND "${CMAKE_COMMAND}" -E env --unset=TOVRIN_RESOURCES
                        "HOME=${PREFIX}/home" "XDG_CONFIG_HOME=${PREFIX}/home/config"
                        "XDG_DATA_HOME=${PREFIX}/home/data" "ASAN_OPTIONS=detect_leaks=0"
                        "TOVRIN_SNAPSHOT=${PREFIX}/missing.png" "${PREFIX}/bin/tovrin"
                RESULT_VARIABLE missing OUTPUT_QUIET ERROR_QUIET TIMEOUT 60)
if(missing EQUAL 0)
    fail("the installed program started without its resources")
endif()
file(REMOVE_RECURSE "${PREFIX}")
