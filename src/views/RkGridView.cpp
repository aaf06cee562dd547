// RkGridView: the default row model and the grid that asks it for every
// cell through an adapter item model and an editing delegate.
#include "views/RkGridView.h"

#include <QAbstractTableModel>
#include <QHeaderView>
#include <QLineEdit>
#include <QMetaProperty>
#include <QStyledItemDelegate>

#include <algorithm>
#include <functional>
#include <stdexcept>

TRkRowObject::~TRkRowObject() = default;

IGridModel::~IGridModel() = default;

// ---------------------------------------------------------------- model {

TDefaultModel::TDefaultModel() = default;

TDefaultModel::~TDefaultModel()
{
    const auto viewers = Viewers_;
    for (const auto& grid : viewers)
        if (grid)
            grid->ModelDestroyed(this);
}

TColor TDefaultModel::GetCellColor(int, int) const
{
    return clWhite;
}

int TDefaultModel::GetRowCount() const
{
    return 0;
}

bool TDefaultModel::IsEnabled() const
{
    return true;
}

bool TDefaultModel::IsCellEditable(int, int) const
{
    return false;
}

QWidget* TDefaultModel::GetCellEditor(int column, int)
{
    return GridView_ ? GridView_->ColumnEditor(column) : nullptr;
}

QString TDefaultModel::GetCellWideText(int column, int row) const
{
    return QString::fromStdString(GetCellText(column, row));
}

void TDefaultModel::SetCellText(int, int, const QString&) {}

std::string TDefaultModel::GetCellText(int, int) const
{
    return {};
}

std::int32_t TDefaultModel::GetCellValue(int, int) const
{
    return 0;
}

TRkRowObject* TDefaultModel::GetItem(int) const
{
    return nullptr;
}

void TDefaultModel::SetGridView(TRkGridView* gridView)
{
    GridView_ = gridView;
}

TRkGridView* TDefaultModel::GetGridView() const
{
    return GridView_;
}

// } model ------------------------------------------------------ adapter {

// Presents the bound model to the view. It holds nothing: every answer is
// asked of the model at the moment the view needs it, and a row that the
// model no longer has (the view may still count it until the next Refresh)
// is answered without asking.
class TRkGridAdapter : public QAbstractTableModel {
public:
    explicit TRkGridAdapter(TRkGridView* grid)
        : QAbstractTableModel(grid)
        , Grid_(grid)
    {
    }

    int rowCount(const QModelIndex& parent) const override
    {
        const TDefaultModel* model = Grid_->GridModel();
        if (parent.isValid() || !model)
            return 0;
        return std::max(0, model->GetRowCount());
    }

    int columnCount(const QModelIndex& parent) const override
    {
        return parent.isValid() ? 0 : Grid_->ColumnCount();
    }

    QVariant data(const QModelIndex& index, int role) const override
    {
        TDefaultModel* model = Grid_->GridModel();
        if (!model || !index.isValid() || index.row() >= model->GetRowCount())
            return {};
        const int column = index.column();
        const int row = index.row();
        switch (role) {
        case Qt::DisplayRole:
            switch (Grid_->Column(column).Kind) {
            case TRkColumnKind::Numeric:
                return QString::number(model->GetCellValue(column, row));
            case TRkColumnKind::Increment:
                return QString::number(row + 1);
            case TRkColumnKind::Textual:
                break;
            }
            return QString::fromStdString(model->GetCellText(column, row));
        case Qt::EditRole:
            return Grid_->CellText(column, row);
        case Qt::BackgroundRole:
            return ColorFromTColor(model->GetCellColor(column, row));
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
        default:
            return {};
        }
    }

    Qt::ItemFlags flags(const QModelIndex& index) const override
    {
        Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
        TDefaultModel* model = Grid_->GridModel();
        if (model && index.isValid() && index.row() < model->GetRowCount()
            && model->IsCellEditable(index.column(), index.row()))
            flags |= Qt::ItemIsEditable;
        return flags;
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole
            && section >= 0 && section < Grid_->ColumnCount())
            return Grid_->Column(section).Caption;
        return QAbstractTableModel::headerData(section, orientation, role);
    }

    void Reset()
    {
        beginResetModel();
        endResetModel();
    }

    void AppendColumn(const std::function<void()>& append)
    {
        const int column = Grid_->ColumnCount();
        beginInsertColumns(QModelIndex(), column, column);
        append();
        endInsertColumns();
    }

private:
    TRkGridView* Grid_;
};

// } adapter ---------------------------------------------------- delegate {

// Drives an edit in the grid's order: editor from the grid, its text from
// the cell (a typed key then replaces the selected text), and the store
// only of a changed text. Editors belong to their grid and are reused, so
// closing an edit hides the editor instead of deleting it.
class TRkGridDelegate : public QStyledItemDelegate {
public:
    explicit TRkGridDelegate(TRkGridView* grid)
        : QStyledItemDelegate(grid)
        , Grid_(grid)
    {
    }

    QWidget* createEditor(QWidget*, const QStyleOptionViewItem&,
                          const QModelIndex& index) const override
    {
        return Grid_->EditorForCell(index.column(), index.row());
    }

    void setEditorData(QWidget* editor, const QModelIndex& index) const override
    {
        const QString text = Grid_->CellText(index.column(), index.row());
        if (auto* lineEdit = qobject_cast<QLineEdit*>(editor)) {
            lineEdit->setText(text);
            return;
        }
        const QMetaProperty user = editor->metaObject()->userProperty();
        if (user.isValid())
            user.write(editor, text);
    }

    void setModelData(QWidget* editor, QAbstractItemModel*, const QModelIndex& index) const override
    {
        QString text;
        if (auto* lineEdit = qobject_cast<QLineEdit*>(editor)) {
            text = lineEdit->text();
        } else {
            const QMetaProperty user = editor->metaObject()->userProperty();
            if (!user.isValid())
                return;
            text = user.read(editor).toString();
        }
        Grid_->StoreCellText(index.column(), index.row(), text);
    }

    void destroyEditor(QWidget*, const QModelIndex&) const override {}

private:
    TRkGridView* Grid_;
};

// } delegate ------------------------------------------------------ grid {

TRkGridView::TRkGridView(QWidget* parent)
    : QTableView(parent)
    , Adapter_(new TRkGridAdapter(this))
{
    setModel(Adapter_);
    setItemDelegate(new TRkGridDelegate(this));
    setSortingEnabled(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                    | QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked);
    verticalHeader()->hide();
    horizontalHeader()->setSectionsClickable(false);
}

TRkGridView::~TRkGridView()
{
    SetGridModel(nullptr);
}

int TRkGridView::AddColumn(const QString& caption, TRkColumnKind kind, int width)
{
    Adapter_->AppendColumn([&] {
        Columns_.push_back({caption, kind, width});
        auto* editor = new QLineEdit(viewport());
        editor->setFrame(false);
        editor->hide();
        ColumnEditors_.push_back(editor);
    });
    const int column = ColumnCount() - 1;
    setColumnWidth(column, width);
    return column;
}

const TRkGridColumn& TRkGridView::Column(int column) const
{
    if (column < 0 || column >= ColumnCount())
        throw std::out_of_range("Grid column index out of range (" + std::to_string(column) + ")");
    return Columns_[static_cast<std::size_t>(column)];
}

QLineEdit* TRkGridView::ColumnEditor(int column) const
{
    if (column < 0 || column >= ColumnCount())
        return nullptr;
    return ColumnEditors_[static_cast<std::size_t>(column)];
}

void TRkGridView::SetSortMark(int column)
{
    horizontalHeader()->setSortIndicatorShown(true);
    horizontalHeader()->setSortIndicator(column, Qt::AscendingOrder);
}

void TRkGridView::SetGridModel(TDefaultModel* model)
{
    if (model == GridModel_)
        return;
    if (GridModel_) {
        auto& viewers = GridModel_->Viewers_;
        viewers.erase(std::remove(viewers.begin(), viewers.end(), this), viewers.end());
    }
    GridModel_ = model;
    if (GridModel_)
        GridModel_->Viewers_.push_back(this);
}

void TRkGridView::ModelDestroyed(TDefaultModel* model)
{
    if (model != GridModel_)
        return;
    // The model is going away: nothing may ask it again, so the grid shows
    // no rows at once instead of waiting for the owner's next Refresh.
    GridModel_ = nullptr;
    Adapter_->Reset();
}

void TRkGridView::Refresh()
{
    Adapter_->Reset();
    viewport()->update();
}

bool TRkGridView::InRange(int column, int row) const
{
    return GridModel_ && row >= 0 && row < GridModel_->GetRowCount()
        && column >= 0 && column < ColumnCount();
}

QString TRkGridView::CellText(int column, int row) const
{
    if (!InRange(column, row))
        return {};
    return GridModel_->GetCellWideText(column, row);
}

void TRkGridView::StoreCellText(int column, int row, const QString& text)
{
    if (!InRange(column, row))
        return;
    if (text == GridModel_->GetCellWideText(column, row))
        return;
    GridModel_->SetCellText(column, row, text);
}

QWidget* TRkGridView::EditorForCell(int column, int row)
{
    if (!InRange(column, row))
        return nullptr;
    QWidget* editor = GridModel_->GetCellEditor(column, row);
    // An editor of another grid (the model is attached for editing to a
    // different grid) cannot be placed in this one.
    if (!editor || editor->parentWidget() != viewport())
        editor = ColumnEditor(column);
    if (!editor)
        return nullptr;
    QPalette palette = editor->palette();
    palette.setColor(QPalette::Base, ColorFromTColor(GridModel_->GetCellColor(column, row)));
    editor->setPalette(palette);
    return editor;
}

// } grid

QColor ColorFromTColor(TColor color)
{
    return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                  static_cast<int>((color >> 16) & 0xFF));
}
