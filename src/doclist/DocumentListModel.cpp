#include "doclist/DocumentListModel.h"

#include "platform/RuntimeError.h"

DocumentListModel::DocumentListModel(QObject* parent) : QAbstractListModel(parent) {}

void DocumentListModel::CheckPosition(int position) const {
    if (position < 1 || position > Count()) {
        throw RuntimeError(ErrorNumbers::kSubscriptOutOfRange,
                           QStringLiteral("The document list has no entry %1; it holds %2.")
                               .arg(position)
                               .arg(Count()));
    }
}

QString DocumentListModel::Text(int position) const {
    CheckPosition(position);
    return texts_.at(position - 1);
}

void DocumentListModel::SetText(int position, const QString& text) {
    CheckPosition(position);
    texts_[position - 1] = text;
    const QModelIndex changed = index(position - 1);
    emit dataChanged(changed, changed, {Qt::DisplayRole});
}

void DocumentListModel::Append(const QString& text) {
    beginInsertRows(QModelIndex(), Count(), Count());
    texts_.append(text);
    endInsertRows();
}

void DocumentListModel::AppendMany(const QStringList& texts) {
    if (texts.isEmpty()) {
        return;
    }
    beginInsertRows(QModelIndex(), Count(), Count() + static_cast<int>(texts.size()) - 1);
    texts_.append(texts);
    endInsertRows();
}

void DocumentListModel::RemoveAt(int position) {
    CheckPosition(position);
    beginRemoveRows(QModelIndex(), position - 1, position - 1);
    texts_.removeAt(position - 1);
    endRemoveRows();
}

void DocumentListModel::Clear() {
    if (texts_.isEmpty()) {
        return;
    }
    beginResetModel();
    texts_.clear();
    endResetModel();
}

bool DocumentListModel::ListContainsPath(const QString& path) const {
    return texts_.contains(path, Qt::CaseSensitive);
}

void DocumentListModel::SetColumnHeader(const QString& text) {
    columnHeader_ = text;
    emit headerDataChanged(Qt::Horizontal, 0, 0);
}

int DocumentListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : Count();
}

QVariant DocumentListModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) {
        return {};
    }
    // Long paths are elided in the view; the tool tip shows the whole path.
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole) {
        return texts_.at(index.row());
    }
    return {};
}

QVariant DocumentListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (section == 0 && orientation == Qt::Horizontal && role == Qt::DisplayRole) {
        return columnHeader_;
    }
    return {};
}

Qt::ItemFlags DocumentListModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) {
        return Qt::NoItemFlags;
    }
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}
