# Fails the build when code below the window layer includes a Qt Widgets header, or
# model code a Qt Gui header. Each library's include directories already keep out the
# headers it does not link ("#include <QWidget>" does not compile in a model file);
# this also catches spellings such as "#include <QtWidgets/QWidget>" or
# "#include <QtGui/QColor>", which the shared Qt include root would let through. Run by
# the target check_layers with:
#   -DWIDGETS_DIR=<Qt's QtWidgets include folder> -DGUI_DIR=<Qt's QtGui include folder>
#   -DFOLDERS=<folder|...> (no widgets) -DMODEL_FOLDERS=<folder|...> (no Gui either)
string(REPLACE "|" ";" FOLDERS "${FOLDERS}")
string(REPLACE "|" ";" MODEL_FOLDERS "${MODEL_FOLDERS}")
set(offences "")
foreach(folder IN LISTS FOLDERS MODEL_FOLDERS)
    list(FIND MODEL_FOLDERS "${folder}" model)
    file(GLOB_RECURSE sources "${folder}/*.h" "${folder}/*.cpp")
    foreach(source IN LISTS sources)
        file(STRINGS "${source}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
        foreach(line IN LISTS includes)
            string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*[<\"]([^>\"]+)[>\"].*" "\\1" header "${line}")
            string(REGEX REPLACE "^Qt(Widgets|Gui)/" "" bare "${header}")
            if(header MATCHES "^QtWidgets/" OR EXISTS "${WIDGETS_DIR}/${bare}")
                string(APPEND offences "\n  ${source}: ${header} (Qt Widgets)")
            elseif(model GREATER -1 AND (header MATCHES "^QtGui/" OR EXISTS "${GUI_DIR}/${bare}"))
                string(APPEND offences "\n  ${source}: ${header} (Qt Gui, in model code)")
            endif()
        endforeach()
    endforeach()
endforeach()
if(offences)
    message(FATAL_ERROR "Plot and drawing code must not include Qt Widgets, model code not Qt Gui either:${offences}")
endif()
