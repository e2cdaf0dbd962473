#pragma once

#include <QAbstractListModel>
#include <QString>
#include <QStringList>

// The document list: full paths in export order, addressed by 1-based position. Duplicates are
// allowed and nothing sorts it. One column, whose header text is set when the window starts.
class DocumentListModel : public QAbstractListModel {
    Q_OBJECT

public:
    explicit DocumentListModel(QObject* parent = nullptr);

    int Count() const { return static_cast<int>(texts_.size()); }
    // Throws RuntimeError (subscript out of range) when no entry stands at that position.
    QString Text(int position) const;
    void SetText(int position, const QString& text);

    // Adds the text exactly as given at the end.
    void Append(const QString& text);
    // Adds many texts at once: one model notification, so large scans and drops stay fast.
    void AppendMany(const QStringList& texts);
    void RemoveAt(int position);
    void Clear();

    // True when an entry equals the path character for character.
    bool ListContainsPath(const QString& path) const;
    const QStringList& Texts() const { return texts_; }

    void SetColumnHeader(const QString& text);
    QString ColumnHeader() const { return columnHeader_; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    void CheckPosition(int position) const;

    QStringList texts_;
    QString columnHeader_;
};
