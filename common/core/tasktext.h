#pragma once

#include <QByteArrayView>
#include <QString>

// The comment block a scenario file starts with (the exercise's task and its questions,
// as `leadingComments` keeps it) as a reader sees it in the Task panel: the "#" and ";"
// markers gone, the lines of a paragraph joined so that the panel wraps them at its own
// width, paragraphs apart by an empty line. A first line that ends a sentence or a
// colon is the task's title and stays a line of its own; a line that begins a list item
// ("- ", "* ", "1. ", "2) ") begins a new line. Tabs become blanks and other control
// characters are left out. Empty when the comments hold no text.
QString taskText(QByteArrayView comments);
