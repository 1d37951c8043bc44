# Checks that every source under SOURCE_DIR includes only what its folder may use.
# Run as: cmake -DSOURCE_DIR=<src> -P CheckLayering.cmake
cmake_minimum_required(VERSION 3.25)

# Which folders of ours each folder may include (its own is always allowed). The platform is in parts, each a
# folder of its own ("platform/text", ...), so a folder names the parts it uses.
# The edges follow the link lines of src/*/CMakeLists.txt and src/platform/*/CMakeLists.txt: change both together.
# The compiler checks the link lines (each library sees only the headers of those it links); this table also
# catches an include across an edge the design forbids, even once a link has been added for it.
set(MAY_USE_main     windows)                # main.cpp: only starts the application
set(MAY_USE_windows  flow lesson learner records guide audio keysend assets game course # the windows show it all
                     owntext platform/controls platform/dialogs platform/help platform/drawing platform/input
                     platform/sound platform/text)
set(MAY_USE_flow     lesson records audio guide platform/sound platform/text) # a lesson's flow, told to a view
set(MAY_USE_lesson   "")                     # the rules of a lesson: typing session, lesson reader, stopwatch
set(MAY_USE_learner  records owntext platform/input platform/text) # the learner's records on disk, their keyboard,
                                             # their own texts
set(MAY_USE_records  course guide)           # the formats of the records and the course's rules on them
set(MAY_USE_guide    platform/drawing platform/input platform/text) # the guide draws on the surface, for every
                                             # keyboard, its letters from Windows-1252
set(MAY_USE_audio    platform/sound platform/text)           # wave lists and key names play on the sound output
set(MAY_USE_keysend  platform/controls platform/dialogs platform/input platform/text) # keys sent on the keyboard stream
set(MAY_USE_assets   platform/sound platform/text)           # the embedded pictures and sounds
set(MAY_USE_game     audio platform/drawing platform/text)   # the falling-words game and its rules
set(MAY_USE_course   platform/input)         # the course's lessons on each keyboard and their text: rules only
set(MAY_USE_owntext  "")                     # a learner's own text made typeable: rules only
# The platform's parts, bottom up: Qt, OpenAL and the parts below, nothing else of ours.
set(MAY_USE_platform/text     "")                            # tutor_text: code page, files, the error they throw
set(MAY_USE_platform/sound    platform/text)                 # tutor_soundout: a bad wave file throws our error
set(MAY_USE_platform/input    platform/text)                 # tutor_kbdlayout, tutor_input: keys give Windows-1252
set(MAY_USE_platform/drawing  platform/text)                 # tutor_drawing: text drawn from Windows-1252
set(MAY_USE_platform/help     platform/drawing platform/text) # tutor_helpdoc, tutor_help: the file; controls' names
set(MAY_USE_platform/dialogs  platform/help platform/text)   # tutor_dialogs: the dialogs open the help windows
set(MAY_USE_platform/controls platform/dialogs platform/drawing platform/text) # tutor_controls: handlers guarded
# Folders whose sub-folders are folders of their own in the table above.
set(PARTED_FOLDERS platform)

# Qt-free files (folder/name, header and source alike): no Qt header, and of ours only other Qt-free files.
set(QT_FREE
    lesson/LessonReader lesson/LessonStopwatch lesson/TypingSession       # tutor_lesson: the rules of a lesson
    course/Course course/CourseText course/Drill course/TextMaking         # tutor_course: lessons, their text, drills
    game/JeuRules                                                          # tutor_gamerules: the rules of the game
    audio/Cue                                                              # the three cues, named
    audio/KeyNameRecordings assets/AssetNames                              # item names, read by the asset generator too
    guide/KeyDescription guide/KeyMap guide/LayoutKeys                     # tutor_keymap: also used by the asset generator
    keysend/SendKeys                                                       # tutor_sendkeys: the sender's parser
    platform/input/KeyboardLayout platform/input/KeyboardLayouts           # tutor_kbdlayout: the layouts as data
    records/HistoryBlock records/CourseProgress records/KeyFigures records/CourseRules # tutor_records
    records/LessonAttempts records/RecordText records/LessonResult records/LessonVerdict
    owntext/OwnText                                                        # tutor_owntext: a learner's own text
)

if(NOT IS_DIRECTORY "${SOURCE_DIR}")
    message(FATAL_ERROR "SOURCE_DIR must name the source folder, got '${SOURCE_DIR}'")
endif()

# The folder a file belongs to: its first path component ("main" for the files at the top), or its first two
# in a parted folder.
function(folder_of path out)
    string(REGEX MATCH "^[^/]+/" folder "${path}")
    string(REGEX REPLACE "/$" "" folder "${folder}")
    if(folder IN_LIST PARTED_FOLDERS AND path MATCHES "^${folder}/[^/]+/")
        string(REGEX MATCH "^[^/]+/[^/]+/" folder "${path}")
        string(REGEX REPLACE "/$" "" folder "${folder}")
    endif()
    if(folder STREQUAL "")
        set(folder main)
    endif()
    set(${out} "${folder}" PARENT_SCOPE)
endfunction()

file(GLOB_RECURSE sources RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/*.h" "${SOURCE_DIR}/*.cpp")
list(SORT sources)
set(violations "")

foreach(source IN LISTS sources)
    folder_of("${source}" folder)
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
        # Tables made at build time (".inc", in the build folder) hold data only.
        if(header MATCHES "\\.inc$" AND NOT EXISTS "${SOURCE_DIR}/${header}")
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
        folder_of("${target}" used)
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
