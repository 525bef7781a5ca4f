#include "print/pdf/PageTree.h"

#include "print/pdf/PdfFile.h"

namespace report::pdf {

PageTree::PageTree(PdfFile& file, int root, long long count) : file_(file), count_(count) {
    span_.push_back(kKids);
    while (span_.back() < count_) span_.push_back(span_.back() * kKids);
    open_.resize(span_.size());
    open_.back().object = root;
    if (count_ == 0) file_.Object(root, "<< /Type /Pages /Kids [] /Count 0 >>");
}

int PageTree::Add(int page) {
    const std::size_t levels = open_.size();
    // The nodes below the root that this page begins, each under its parent.
    for (std::size_t level = levels - 1; level-- > 0;) {
        if (added_ % span_[level] != 0) continue;
        open_[level] = {file_.Reserve(), added_, {}};
        open_[level + 1].kids += PdfFile::Ref(open_[level].object) + ' ';
    }
    open_[0].kids += PdfFile::Ref(page) + ' ';
    const int parent = open_[0].object;
    ++added_;
    // The nodes that it completes, from its parent up.
    for (std::size_t level = 0; level < levels && (added_ % span_[level] == 0 || added_ == count_); ++level) {
        const Node& node = open_[level];
        QByteArray body = "<< /Type /Pages ";
        if (level + 1 < levels) body += "/Parent " + PdfFile::Ref(open_[level + 1].object) + ' ';
        file_.Object(node.object, body + "/Kids [" + node.kids + "] /Count " + QByteArray::number(added_ - node.first) + " >>");
    }
    return parent;
}

}  // namespace report::pdf
