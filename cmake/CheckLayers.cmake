# Fails the build when code below the window layer includes a Qt Widgets header.
# Each library's include directories already keep out the headers it does not link
# ("#include <QWidget>" does not compile in a model file); this also catches the
# spelling "#include <QtWidgets/QWidget>", which the shared Qt include root would let
# through. Run by the target check_layers with:
#   -DWIDGETS_DIR=<Qt's QtWidgets include folder> -DFOLDERS=<folder|folder|...>
string(REPLACE "|" ";" FOLDERS "${FOLDERS}")
set(offences "")
foreach(folder IN LISTS FOLDERS)
    file(GLOB_RECURSE sources "${folder}/*.h" "${folder}/*.cpp")
    foreach(source IN LISTS sources)
        file(STRINGS "${source}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
        foreach(line IN LISTS includes)
            string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*[<\"]([^>\"]+)[>\"].*" "\\1" header "${line}")
            string(REGEX REPLACE "^QtWidgets/" "" bare "${header}")
            if(header MATCHES "^QtWidgets/" OR EXISTS "${WIDGETS_DIR}/${bare}")
                string(APPEND offences "\n  ${source}: ${header}")
            endif()
        endforeach()
    endforeach()
endforeach()
if(offences)
    message(FATAL_ERROR "Model, plot and shared drawing code must not include Qt Widgets:${offences}")
endif()
