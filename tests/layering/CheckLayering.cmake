# Checks that every source under SOURCE_DIR includes only what its folder may use.
# Run as: cmake -DSOURCE_DIR=<src> -P CheckLayering.cmake
cmake_minimum_required(VERSION 3.25)

# Which folders of ours each folder may include (its own is always allowed).
# The edges follow the link lines of src/*/CMakeLists.txt: change both together.
set(MAY_USE_main     app)                                          # main.cpp: only starts the application
set(MAY_USE_app      guide audio keysend stats assets game platform) # the windows put everything together
set(MAY_USE_guide    platform)                                     # keyboard guide and target line draw on the platform
set(MAY_USE_audio    platform)                                     # wave lists and key names play on the sound output
set(MAY_USE_keysend  platform)                                     # the system key sender drives the platform keyboard
set(MAY_USE_stats    platform)                                     # history files and the statistics window
set(MAY_USE_assets   audio platform)                               # pictures, sounds and the splash window's wave list
set(MAY_USE_game     audio platform)                               # the falling-words game and its rules
set(MAY_USE_platform "")                                           # the bottom layer: Qt, OpenAL, nothing of ours

# Qt-free files (folder/name, header and source alike): no Qt header, and of ours only other Qt-free files.
set(QT_FREE
    app/LessonReader app/LessonStopwatch app/TypingSession                # tutor_core: the rules of a lesson
    game/JeuRules                                                          # tutor_gamerules: the rules of the game
    audio/Cue                                                              # the three cues, named
    guide/KeyDescription guide/KeyMap                                      # tutor_keymap: also used by the asset generator
    keysend/SendKeys                                                       # tutor_sendkeys: the sender's parser
    platform/KeyboardLayout                                                # tutor_kbdlayout: the layout as data
    stats/HistoryBlock                                                     # the history record, tested without Qt
)

if(NOT IS_DIRECTORY "${SOURCE_DIR}")
    message(FATAL_ERROR "SOURCE_DIR must name the source folder, got '${SOURCE_DIR}'")
endif()

file(GLOB_RECURSE sources RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/*.h" "${SOURCE_DIR}/*.cpp")
list(SORT sources)
set(violations "")

foreach(source IN LISTS sources)
    # The folder a file belongs to: its first path component, "main" for the files at the top.
    string(REGEX MATCH "^[^/]+/" folder "${source}")
    string(REGEX REPLACE "/$" "" folder "${folder}")
    if(folder STREQUAL "")
        set(folder main)
    endif()
    if(NOT DEFINED MAY_USE_${folder})
        list(APPEND violations "${SOURCE_DIR}/${source}:1: is in folder '${folder}', which the layering table does not know")
        continue()
    endif()
    string(REGEX REPLACE "\\.(h|cpp)$" "" stem "${source}")
    set(qt_free FALSE)
    if(stem IN_LIST QT_FREE)
        set(qt_free TRUE)
    endif()
    cmake_path(GET source PARENT_PATH source_dir)

    file(READ "${SOURCE_DIR}/${source}" text)
    # One list item per line: keep ; [ ] from splitting or joining lines.
    string(REPLACE ";" "," text "${text}")
    string(REPLACE "[" "(" text "${text}")
    string(REPLACE "]" ")" text "${text}")
    string(REPLACE "\r" "" text "${text}")
    string(REPLACE "\n" ";" lines "${text}")

    set(number 0)
    foreach(line IN LISTS lines)
        math(EXPR number "${number} + 1")
        if(NOT line MATCHES "^[ \t]*#[ \t]*include[ \t]*([<\"])([^>\"]+)[>\"]")
            continue()
        endif()
        set(bracket "${CMAKE_MATCH_1}")
        set(header "${CMAKE_MATCH_2}")
        set(where "${SOURCE_DIR}/${source}:${number}: includes ${header}")
        if(bracket STREQUAL "<")
            if(qt_free AND header MATCHES "^Q")
                list(APPEND violations "${where}, which a Qt-free file must not use")
            endif()
            continue()
        endif()
        # A quoted include: beside the including file if it is there, else from the source folder.
        cmake_path(APPEND source_dir "${header}" OUTPUT_VARIABLE target)
        cmake_path(NORMAL_PATH target)
        if(NOT EXISTS "${SOURCE_DIR}/${target}")
            set(target "${header}")
            cmake_path(NORMAL_PATH target)
        endif()
        if(target MATCHES "^\\.\\./")
            continue()  # outside our sources
        endif()
        string(REGEX MATCH "^[^/]+/" used "${target}")
        string(REGEX REPLACE "/$" "" used "${used}")
        if(used STREQUAL "")
            set(used main)
        endif()
        if(NOT used STREQUAL folder AND NOT used IN_LIST MAY_USE_${folder})
            list(APPEND violations "${where}, which ${folder} must not use")
        endif()
        string(REGEX REPLACE "\\.(h|cpp)$" "" target_stem "${target}")
        if(qt_free AND NOT target_stem IN_LIST QT_FREE)
            list(APPEND violations "${where}, which a Qt-free file must not use")
        endif()
    endforeach()
endforeach()

if(violations)
    list(LENGTH violations count)
    list(JOIN violations "\n" report)
    message("${report}")
    message(FATAL_ERROR "${count} include(s) break the layering")
endif()
list(LENGTH sources count)
message(STATUS "Layering kept by ${count} files")
