#pragma once
#include <QByteArray>

#include <vector>

namespace report::pdf {

class PdfFile;

// The page tree of a document written page by page. Readers may assume an
// array holds at most 8,191 elements (the limit of PDF 1.4), and a long flat
// /Kids array is slow to search, so the pages stand under intermediate
// /Pages nodes of at most kKids kids each, every page at the same depth. A
// node is written as soon as its last page is added: the tree holds one open
// node a level, whatever the number of pages.
class PageTree {
public:
    static constexpr long long kKids = 64;

    // A tree of `count` pages whose root is the object `root`.
    PageTree(PdfFile& file, int root, long long count);

    // Takes in the next page, the object `page`, and returns its parent's
    // object number; writes the nodes that the page completes.
    int Add(int page);

private:
    struct Node {
        int object = 0;
        long long first = 0;  // the first of its pages
        QByteArray kids;
    };
    PdfFile& file_;
    long long count_, added_ = 0;
    std::vector<long long> span_;  // by level from the pages' parents up: the pages a node holds at most
    std::vector<Node> open_;       // by level: the node being filled; the last is the root
};

}  // namespace report::pdf
