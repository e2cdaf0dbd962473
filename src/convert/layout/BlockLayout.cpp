#include "convert/layout/BlockLayout.h"

#include "convert/core/ConvertError.h"
#include "convert/core/Limits.h"

namespace corvanel::convert::layout {

namespace {

[[noreturn]] void TooLarge() {
    ThrowTooLarge("its text exceeds the output size limit");
}

}  // namespace

BlockLayout::BlockLayout(std::unique_ptr<Container> body) {
    body->target = &output_.Text();
    stack_.push_back(std::move(body));
}

BlockLayout::~BlockLayout() = default;

void BlockLayout::Property(DocumentProperty property, std::string_view value) {
    if (wantProperties_) {
        facts_.AddProperty(property, value);
    }
}

Container& BlockLayout::Push(std::unique_ptr<Container> container) {
    if (stack_.size() > static_cast<std::size_t>(limits::kMaxNestingDepth) * 4) {
        ThrowDamaged("its content is nested too deeply");
    }
    stack_.push_back(std::move(container));
    return *stack_.back();
}

void BlockLayout::CheckRoom(const std::string& target, std::size_t adding) const {
    if (&target == &output_.Text()) {
        output_.CheckSize(adding);
    } else if (target.size() + adding > limits::kMaxOutputBytes) {
        TooLarge();
    }
}

void BlockLayout::HandOver() {
    output_.DrainIfOver([this] { return headersOut_ ? std::string() : TakeHeaderBlock(true); });
}

void BlockLayout::Append(std::string& target, std::string_view piece) {
    CheckRoom(target, piece.size());
    target.append(piece);
    HandOver();
}

void BlockLayout::Written(const std::string& target) {
    CheckRoom(target, 0);
    output_.CheckSize();
    HandOver();
}

void BlockLayout::HoldBytes(std::size_t bytes) {
    heldBytes_ += bytes;
    if (heldBytes_ > limits::kMaxOutputBytes) {
        TooLarge();
    }
}

void BlockLayout::HoldNote(HeldNote note) {
    HoldBytes(note.text.size());
    notes_.push_back(std::move(note));
}

void BlockLayout::EndNote() {
    if (Top().place != Place::kNote) {
        return;
    }
    Close(Top());
    HoldNote(NoteOf(Top()));
    Pop();
}

void BlockLayout::EndFloatingText() {
    if (Top().place != Place::kFloating) {
        return;
    }
    Close(Top());
    const std::unique_ptr<Container> box = std::move(stack_.back());
    Pop();
    Float(*box, Top());
    if (!Top().paragraphOpen) {
        FlushFloating(Top());
    }
}

void BlockLayout::EndMarginText() {
    if (Top().place != Place::kMargin) {
        return;
    }
    Close(Top());
    const MarginText kind = Top().marginKind;
    std::string text = margins_.Wants(kind) ? MarginTextOf(Top()) : std::string();
    Pop();
    HoldBytes(margins_.Hold(kind, std::move(text)));
}

std::string BlockLayout::TakeHeaderBlock(bool bodyFollows) {
    headersOut_ = true;
    const std::span<const std::string> headers = margins_.Of(MarginText::kHeader);
    headersWritten_ = headers.size();
    return HeaderBlock(headers, bodyFollows);
}

void BlockLayout::EndDocument() {
    if (ended_) {
        return;
    }
    ended_ = true;
    while (stack_.size() > 1) {
        const std::size_t depth = stack_.size();
        switch (Top().place) {
            case Place::kCell:
                EndCell();
                break;
            case Place::kNote:
                EndNote();
                break;
            case Place::kFloating:
                EndFloatingText();
                break;
            case Place::kMargin:
                EndMarginText();
                break;
            case Place::kBody:
                break;
        }
        if (stack_.size() == depth) {
            Pop();
        }
    }
    Close(Body());
    AfterBody();
    if (!headersOut_) {
        const std::string headers = TakeHeaderBlock(Started());
        output_.CheckSize(headers.size());
        Out().insert(0, headers);
    } else {
        // Headers that came after the body had started to leave: late, but not lost.
        AppendSection(margins_.Of(MarginText::kHeader).subspan(headersWritten_));
    }
    AppendSection(margins_.Of(MarginText::kFooter));
    AppendSection(margins_.Of(MarginText::kComment));
    AtEnd();
}

}  // namespace corvanel::convert::layout
