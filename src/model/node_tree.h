#pragma once

#include <QString>
#include <QStringView>
#include <vector>

// Colours of nodes, as the server's tools number them (red + 256 * green + 65536 * blue).
namespace NodeColour {
constexpr int Black = 0;
constexpr int Red = 255;      // error
constexpr int Orange = 33023; // warning (255, 128, 0), never over red
constexpr int Grey = 8421504; // inactive tree (128, 128, 128)
} // namespace NodeColour

// The small fields come first, together: a large tree holds thousands of nodes, and no padding is lost
// between them.
struct TreeNode {
    int id = -1; // insertion order; stays fixed for the node's life
    int colour = NodeColour::Black;
    int parent = -1; // id, -1 for a top-level node
    bool expanded = false;
    bool alive = true;
    QString key;
    QString text;
    QString image;
    std::vector<int> children;
};

// Told of every structural change so that a view can follow (the tree view adapter).
class NodeTreeObserver {
public:
    virtual ~NodeTreeObserver() = default;
    virtual void beforeInsert(int parentId, int row) = 0;
    virtual void afterInsert() = 0;
    virtual void beforeRemove(int parentId, int row) = 0;
    virtual void afterRemove() = 0;
    virtual void nodeChanged(int id) = 0;
    virtual void beforeReset() = 0;
    virtual void afterReset() = 0;
};

// The keyed node tree that gives the configuration its structure: which sections belong to it, their
// parent/child links and their order. Saving walks nodes in insertion order; the view shows display
// order (a node, then its children in order).
class NodeTree {
public:
    void setObserver(NodeTreeObserver* observer) { m_observer = observer; }

    void clear();

    // Adds a node as the last child of relativeKey ("" for top level) and returns the key used. An empty
    // or taken requested key is replaced by "K" + a random number. An unknown relative key adds a
    // top-level node.
    QString CreerNoeud(const QString& text, const QString& requestedKey, const QString& relativeKey,
                       const QString& image);
    // The same under the node of this id (-1 for top level), for callers that add many children.
    QString CreerNoeud(const QString& text, const QString& requestedKey, int parentId, const QString& image);
    // The same, returning the new node's id.
    int addNode(const QString& text, const QString& requestedKey, int parentId, const QString& image);
    // Room for this many nodes, so that a load does not grow the tables step by step.
    void reserve(int count);
    bool noeudExiste(const QString& key) const { return find(key) >= 0; }

    // Id of the node with this key, -1 when none.
    int find(const QString& key) const { return m_index[slotOf(key, keyHash(key))].id; }
    const TreeNode& node(int id) const { return m_nodes[size_t(id)]; }
    const TreeNode* nodeByKey(const QString& key) const;

    void setText(const QString& key, const QString& text);
    void setImage(const QString& key, const QString& image);
    void setColour(const QString& key, int colour);
    void setColour(int id, int colour);
    void setExpanded(const QString& key, bool expanded);
    // Gives a node another key in place (its position, children and texts stay). False when the old key
    // is unknown or the new one is taken.
    bool rekey(const QString& oldKey, const QString& newKey);
    // Removes a node and all its descendants.
    void removeNode(const QString& key);

    // Top-level nodes, in order.
    const std::vector<int>& topLevel() const { return m_topLevel; }
    const std::vector<int>& childrenOf(int id) const;
    // Position of a node among its siblings.
    int rowOf(int id) const;
    int depthOf(int id) const;

    // Number of live nodes.
    int count() const { return m_liveCount; }
    // Live node ids in insertion order.
    std::vector<int> insertionOrder() const;
    // Live node ids in display order (a node, then its children).
    std::vector<int> displayOrder() const;

private:
    // The key index: live node ids by key, in an open-addressing table (linear probing, at most half
    // full) that reads each key from its node. A load adds thousands of nodes: an entry is two numbers,
    // with no copy of the key and no allocation of its own.
    struct IndexSlot {
        quint32 hash = 0;
        int id = -1; // -1: empty
    };
    static quint32 keyHash(QStringView key);
    // The slot holding this key, or else the empty slot where it goes.
    size_t slotOf(QStringView key, quint32 hash) const;
    void indexAt(size_t slot, quint32 hash, int id);
    void unindex(size_t slot);
    void resizeIndex(size_t slotCount);

    void collectDisplay(int id, std::vector<int>& out) const;
    void kill(int id);

    std::vector<TreeNode> m_nodes;
    std::vector<int> m_topLevel;
    static constexpr size_t kMinIndexSlots = 16; // a power of two, like every size of the table
    std::vector<IndexSlot> m_index = std::vector<IndexSlot>(kMinIndexSlots);
    int m_indexed = 0; // slots in use
    int m_liveCount = 0;
    NodeTreeObserver* m_observer = nullptr;
};
