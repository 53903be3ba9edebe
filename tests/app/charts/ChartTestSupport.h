// SPDX-License-Identifier: GPL-3.0-or-later
// Mouse drags on a graph and answers to the chart windows' dialogs.
#pragma once

#include "app/charts/ChartDialogs.h"
#include "app/charts/GraphView.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPrinter>
#include <QStringList>

namespace km740::test {

// The widget of a graph that takes the mouse.
inline QWidget* mouseArea(GraphView& graph)
{
    return graph.findChild<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
}

inline void sendMouse(QWidget* w, QEvent::Type type, QPointF at, Qt::MouseButton button, Qt::MouseButtons held)
{
    QMouseEvent e(type, at, w->mapToGlobal(at), button, held, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

// A left-button drag in steps, between two points in axis units.
inline void dragOnGraph(GraphView& graph, QPointF fromXY, QPointF toXY)
{
    QWidget* w = mouseArea(graph);
    const QPointF a = graph.pixelOf(fromXY.x(), fromXY.y());
    const QPointF b = graph.pixelOf(toXY.x(), toXY.y());
    sendMouse(w, QEvent::MouseButtonPress, a, Qt::LeftButton, Qt::LeftButton);
    for (int i = 1; i <= 4; ++i)
        sendMouse(w, QEvent::MouseMove, a + (b - a) * i / 4.0, Qt::NoButton, Qt::LeftButton);
    sendMouse(w, QEvent::MouseButtonRelease, b, Qt::LeftButton, Qt::NoButton);
    graph.redraw();
}

// Dialogs that print into a PDF file and record messages.
struct ChartDialogAnswers {
    QString pdfPath;   // empty: the printer dialog is cancelled
    QString csvPath;   // empty: the save dialog is cancelled
    QString imagePath; // empty: the picture's save dialog is cancelled
    QStringList messages;
    int printerDialogs = 0;

    ChartDialogs dialogs()
    {
        ChartDialogs d;
        d.choosePrinter = [this](QWidget*, QPrinter& printer) {
            ++printerDialogs;
            if (pdfPath.isEmpty())
                return false;
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdfPath);
            return true;
        };
        d.message = [this](QWidget*, const QString& text, bool) { messages << text; };
        d.saveCsv = [this](QWidget*, const QString&) { return csvPath; };
        d.saveImage = [this](QWidget*, const QString&) { return imagePath; };
        return d;
    }
};

} // namespace km740::test
