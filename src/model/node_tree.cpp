#include "model/node_tree.h"

#include <QDateTime>
#include <QRandomGenerator>
#include <algorithm>
#include <bit>
#include <cmath>
#include <utility>

namespace {

QString randomKey() {
    // Re-seeded from the clock at every call, as the key is only a stand-in for a missing one.
    QRandomGenerator generator(quint32(QDateTime::currentMSecsSinceEpoch() & 0xffffffff) ^
                               QRandomGenerator::global()->generate());
    const double r = generator.generateDouble();
    return QLatin1Char('K') + QString::number(qint64(std::llround(r * 2147483645.0 + 1.0)));
}

} // namespace

void NodeTree::clear() {
    if (m_observer) m_observer->beforeReset();
    m_nodes.clear();
    m_topLevel.clear();
    m_index.assign(kMinIndexSlots, IndexSlot{});
    m_indexed = 0;
    m_liveCount = 0;
    if (m_observer) m_observer->afterReset();
}

QString NodeTree::CreerNoeud(const QString& text, const QString& requestedKey, const QString& relativeKey,
                             const QString& image) {
    return CreerNoeud(text, requestedKey, relativeKey.isEmpty() ? -1 : find(relativeKey), image);
}

void NodeTree::reserve(int count) {
    m_nodes.reserve(size_t(count));
    if (size_t(count) * 2 > m_index.size()) resizeIndex(std::bit_ceil(size_t(count) * 2));
}

quint32 NodeTree::keyHash(QStringView key) {
    quint32 hash = 2166136261u; // FNV-1a
    for (const QChar c : key)
        hash = (hash ^ c.unicode()) * 16777619u;
    return hash;
}

size_t NodeTree::slotOf(QStringView key, quint32 hash) const {
    const size_t mask = m_index.size() - 1;
    size_t slot = hash & mask;
    while (m_index[slot].id >= 0 &&
           (m_index[slot].hash != hash || m_nodes[size_t(m_index[slot].id)].key != key))
        slot = (slot + 1) & mask;
    return slot;
}

void NodeTree::indexAt(size_t slot, quint32 hash, int id) {
    m_index[slot] = IndexSlot{hash, id};
    if (size_t(++m_indexed) * 2 > m_index.size()) resizeIndex(m_index.size() * 2);
}

void NodeTree::unindex(size_t slot) {
    // Backward shift: a later entry of the same run moves into the hole when the hole lies on its probe
    // path (between its home slot and where it sits), so that no lookup stops early at the hole.
    const size_t mask = m_index.size() - 1;
    size_t hole = slot;
    for (size_t next = (slot + 1) & mask; m_index[next].id >= 0; next = (next + 1) & mask) {
        const size_t home = m_index[next].hash & mask;
        if (((next - home) & mask) >= ((next - hole) & mask)) {
            m_index[hole] = m_index[next];
            hole = next;
        }
    }
    m_index[hole] = IndexSlot{};
    --m_indexed;
}

void NodeTree::resizeIndex(size_t slotCount) {
    std::vector<IndexSlot> old = std::exchange(m_index, std::vector<IndexSlot>(slotCount));
    const size_t mask = slotCount - 1;
    for (const IndexSlot& entry : old) {
        if (entry.id < 0) continue;
        size_t slot = entry.hash & mask;
        while (m_index[slot].id >= 0)
            slot = (slot + 1) & mask;
        m_index[slot] = entry;
    }
}

QString NodeTree::CreerNoeud(const QString& text, const QString& requestedKey, int parentId,
                             const QString& image) {
    return m_nodes[size_t(addNode(text, requestedKey, parentId, image))].key;
}

int NodeTree::addNode(const QString& text, const QString& requestedKey, int parentId, const QString& image) {
    const int parent =
        parentId >= 0 && parentId < int(m_nodes.size()) && m_nodes[size_t(parentId)].alive ? parentId : -1;
    std::vector<int>& siblings = parent < 0 ? m_topLevel : m_nodes[size_t(parent)].children;
    if (m_observer) m_observer->beforeInsert(parent, int(siblings.size()));
    // A menu has ten keys: its children are placed at once rather than in doubling steps.
    if (siblings.empty()) siblings.reserve(10);

    const int id = int(m_nodes.size());
    // One lookup finds the key free and where it goes.
    QString key = requestedKey;
    while (true) {
        if (!key.isEmpty()) {
            const quint32 hash = keyHash(key);
            const size_t slot = slotOf(key, hash);
            if (m_index[slot].id < 0) {
                indexAt(slot, hash, id);
                break;
            }
        }
        key = randomKey();
    }
    siblings.push_back(id); // before the node is added: siblings may be a node's children
    m_nodes.push_back(TreeNode{
        .id = id, .parent = parent, .key = std::move(key), .text = text, .image = image, .children = {}});
    ++m_liveCount;

    if (m_observer) m_observer->afterInsert();
    return id;
}

const TreeNode* NodeTree::nodeByKey(const QString& key) const {
    const int id = find(key);
    return id < 0 ? nullptr : &m_nodes[size_t(id)];
}

void NodeTree::setText(const QString& key, const QString& text) {
    const int id = find(key);
    if (id < 0 || m_nodes[size_t(id)].text == text) return;
    m_nodes[size_t(id)].text = text;
    if (m_observer) m_observer->nodeChanged(id);
}

void NodeTree::setImage(const QString& key, const QString& image) {
    const int id = find(key);
    if (id < 0 || m_nodes[size_t(id)].image == image) return;
    m_nodes[size_t(id)].image = image;
    if (m_observer) m_observer->nodeChanged(id);
}

void NodeTree::setColour(const QString& key, int colour) {
    setColour(find(key), colour);
}

void NodeTree::setColour(int id, int colour) {
    if (id < 0 || id >= int(m_nodes.size()) || m_nodes[size_t(id)].colour == colour) return;
    m_nodes[size_t(id)].colour = colour;
    if (m_observer) m_observer->nodeChanged(id);
}

void NodeTree::setExpanded(const QString& key, bool expanded) {
    const int id = find(key);
    if (id < 0 || m_nodes[size_t(id)].expanded == expanded) return;
    m_nodes[size_t(id)].expanded = expanded;
    // The view follows the flag, so it is told like any other change.
    if (m_observer) m_observer->nodeChanged(id);
}

bool NodeTree::rekey(const QString& oldKey, const QString& newKey) {
    const int id = find(oldKey);
    if (id < 0 || newKey.isEmpty() || find(newKey) >= 0) return false;
    unindex(slotOf(oldKey, keyHash(oldKey)));
    m_nodes[size_t(id)].key = newKey;
    const quint32 hash = keyHash(newKey);
    indexAt(slotOf(newKey, hash), hash, id);
    if (m_observer) m_observer->nodeChanged(id);
    return true;
}

void NodeTree::kill(int id) {
    TreeNode& n = m_nodes[size_t(id)];
    for (int child : n.children)
        kill(child);
    n.children.clear();
    n.alive = false;
    unindex(slotOf(n.key, keyHash(n.key)));
    --m_liveCount;
}

void NodeTree::removeNode(const QString& key) {
    const int id = find(key);
    if (id < 0) return;
    const int parent = m_nodes[size_t(id)].parent;
    std::vector<int>& siblings = parent < 0 ? m_topLevel : m_nodes[size_t(parent)].children;
    const auto it = std::find(siblings.begin(), siblings.end(), id);
    if (m_observer) m_observer->beforeRemove(parent, int(it - siblings.begin()));
    siblings.erase(it);
    kill(id);
    if (m_observer) m_observer->afterRemove();
}

const std::vector<int>& NodeTree::childrenOf(int id) const {
    return id < 0 ? m_topLevel : m_nodes[size_t(id)].children;
}

int NodeTree::rowOf(int id) const {
    const std::vector<int>& siblings = childrenOf(m_nodes[size_t(id)].parent);
    return int(std::find(siblings.begin(), siblings.end(), id) - siblings.begin());
}

int NodeTree::depthOf(int id) const {
    int depth = 0;
    for (int p = m_nodes[size_t(id)].parent; p >= 0; p = m_nodes[size_t(p)].parent)
        ++depth;
    return depth;
}

std::vector<int> NodeTree::insertionOrder() const {
    std::vector<int> out;
    out.reserve(size_t(m_liveCount));
    for (const TreeNode& n : m_nodes)
        if (n.alive) out.push_back(n.id);
    return out;
}

void NodeTree::collectDisplay(int id, std::vector<int>& out) const {
    out.push_back(id);
    for (int child : m_nodes[size_t(id)].children)
        collectDisplay(child, out);
}

std::vector<int> NodeTree::displayOrder() const {
    std::vector<int> out;
    out.reserve(size_t(m_liveCount));
    for (int id : m_topLevel)
        collectDisplay(id, out);
    return out;
}
