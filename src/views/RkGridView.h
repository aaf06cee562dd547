// RkGridView: the row-model contract behind every grid (IGridModel), its
// default implementation (TDefaultModel) and the grid that shows a model.
#pragma once

#include <QColor>
#include <QPointer>
#include <QString>
#include <QTableView>

#include <cstdint>
#include <string>
#include <vector>

class QLineEdit;
class TRkGridView;
class TRkGridAdapter;

// Colours are 0x00BBGGRR: 0x0000FF red, 0xFF0000 blue, 0xFFFFFF white.
using TColor = std::uint32_t;
inline constexpr TColor clWhite = 0xFFFFFF;

// Base of the objects behind model rows (argument, error, breakpoint).
class TRkRowObject {
public:
    virtual ~TRkRowObject();
};

// What a grid asks a model, cell by cell. Every cell operation takes the
// column first and the row second, both 0-based.
class IGridModel {
public:
    virtual ~IGridModel();

    virtual TColor GetCellColor(int column, int row) const = 0;
    virtual int GetRowCount() const = 0;
    // Part of the contract by position only: no grid asks it.
    virtual bool IsEnabled() const = 0;
    virtual bool IsCellEditable(int column, int row) const = 0;
    // The editor control for a cell, or null for the column's own editor.
    virtual QWidget* GetCellEditor(int column, int row) = 0;
    virtual QString GetCellWideText(int column, int row) const = 0;
    virtual void SetCellText(int column, int row, const QString& text) = 0;
    // Narrow (UTF-8) text of a cell.
    virtual std::string GetCellText(int column, int row) const = 0;
    virtual std::int32_t GetCellValue(int column, int row) const = 0;
    virtual TRkRowObject* GetItem(int row) const = 0;
    virtual void SetGridView(TRkGridView* gridView) = 0;
    virtual TRkGridView* GetGridView() const = 0;
};

// The defaults every model of the program starts from: no rows, white
// cells, nothing editable, empty texts, edits ignored.
class TDefaultModel : public IGridModel {
public:
    TDefaultModel();
    TDefaultModel(const TDefaultModel&) = delete;
    TDefaultModel& operator=(const TDefaultModel&) = delete;
    // Unbinds the model from every grid still showing it.
    ~TDefaultModel() override;

    TColor GetCellColor(int column, int row) const override;
    int GetRowCount() const override;
    bool IsEnabled() const override;
    bool IsCellEditable(int column, int row) const override;
    // The in-place editor of that column of GetGridView(); null when no grid
    // view is attached.
    QWidget* GetCellEditor(int column, int row) override;
    // GetCellText as wide text.
    QString GetCellWideText(int column, int row) const override;
    void SetCellText(int column, int row, const QString& text) override;
    std::string GetCellText(int column, int row) const override;
    // 0.
    std::int32_t GetCellValue(int column, int row) const override;
    TRkRowObject* GetItem(int row) const override;
    // The grid whose column editors GetCellEditor hands out. Set only by
    // code that attaches the model for editing; a grid never sets it.
    void SetGridView(TRkGridView* gridView) override;
    TRkGridView* GetGridView() const override;

private:
    friend class TRkGridView;

    QPointer<TRkGridView> GridView_;
    std::vector<QPointer<TRkGridView>> Viewers_;  // grids whose GridModel is this
};

enum class TRkColumnKind {
    Textual,  // shows GetCellText
    Numeric,  // shows GetCellValue in decimal
    Increment,  // shows the row number (row + 1); the model is not asked
};

struct TRkGridColumn {
    QString Caption;
    TRkColumnKind Kind = TRkColumnKind::Textual;
    int Width = 64;
};

// A table view whose cells come from the bound model. The grid keeps no
// cell data; columns (caption, kind, width) are defined on the grid and
// every column has an in-place QLineEdit of its own. Rows appear in the
// model's order: the grid never sorts.
class TRkGridView : public QTableView {
    Q_OBJECT
public:
    explicit TRkGridView(QWidget* parent = nullptr);
    ~TRkGridView() override;

    // Appends a column; returns its index.
    int AddColumn(const QString& caption, TRkColumnKind kind, int width);
    int ColumnCount() const { return static_cast<int>(Columns_.size()); }
    const TRkGridColumn& Column(int column) const;
    // The column's own in-place editor; null outside the columns.
    QLineEdit* ColumnEditor(int column) const;
    // Shows the sort indicator on a column header; display only.
    void SetSortMark(int column);

    TDefaultModel* GridModel() const { return GridModel_; }
    // Binds a model (or none). Neither repaints nor calls SetGridView: the
    // caller repaints with Refresh() when it wants the new rows shown.
    void SetGridModel(TDefaultModel* model);
    // Re-reads the row count and repaints every cell from the model. An
    // edit in progress is dropped.
    void Refresh();
    // An in-place editor is open.
    bool IsEditing() const { return state() == QAbstractItemView::EditingState; }

    // The text of a cell as an edit starts from it; empty without a model
    // and for a cell outside the model's rows or the grid's columns.
    QString CellText(int column, int row) const;
    // Hands an edit's text to the model when the cell is in range and the
    // text differs from the cell's current text; otherwise drops it.
    void StoreCellText(int column, int row, const QString& text);
    // The editor for a cell: the model's, else the column's own, coloured
    // with the cell's colour. Null without a model.
    QWidget* EditorForCell(int column, int row);

private:
    friend class TDefaultModel;

    bool InRange(int column, int row) const;
    void ModelDestroyed(TDefaultModel* model);

    std::vector<TRkGridColumn> Columns_;
    std::vector<QLineEdit*> ColumnEditors_;  // children of the viewport
    TDefaultModel* GridModel_ = nullptr;
    TRkGridAdapter* Adapter_ = nullptr;
};

// 0x00BBGGRR to a Qt colour.
QColor ColorFromTColor(TColor color);
