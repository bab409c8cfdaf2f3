#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <vector>

#include "velbocore/velboedge2d.h"
#include "velbocore/velbomesh.h"
#include "velbocore/velbostoragepool.h"
#include "velbocore/velbotriangle.h"

// Blocks of the pool's size and of other sizes are whole, distinct while in
// use, and can be handed back in any order.
TEST(VelboStoragePool, BlocksInUseAreDistinctAndWritable) {
    const struct {
        std::size_t blockSize;
        std::size_t request;
    } cases[] = {{64, 64}, {64, 40}, {64, 200}, {4, 4}};
    for (const auto& c : cases) {
        VelboStoragePool pool(c.blockSize);
        for (int round = 0; round < 3; ++round) {
            std::vector<void*> blocks;
            for (int i = 0; i < 50; ++i) {
                void* block = pool.allocate(c.request);
                std::memset(block, i, c.request);
                blocks.push_back(block);
            }
            EXPECT_EQ(std::set<void*>(blocks.begin(), blocks.end()).size(), blocks.size());
            for (int i = 0; i < 50; ++i) {
                const auto* bytes = static_cast<const unsigned char*>(blocks[i]);
                EXPECT_EQ(bytes[0], i);
                EXPECT_EQ(bytes[c.request - 1], i);
            }
            // Alternate ends, so the free list is rebuilt out of order.
            for (std::size_t i = 0; i < blocks.size(); ++i)
                pool.release(blocks[i % 2 == 0 ? i / 2 : blocks.size() - 1 - i / 2], c.request);
        }
        pool.release(nullptr, c.request);
    }
}

// The classes whose objects come from a pool still count each live object,
// through many rounds of making and deleting them.
TEST(VelboStoragePool, PooledClassesKeepTheirLiveCounts) {
    const unsigned int edges = VelboEdge2D::instances();
    const unsigned int triangles = VelboTriangle::instances();
    const unsigned int meshes = VelboMesh::instances();
    for (int round = 0; round < 5; ++round) {
        std::vector<VelboTriangle*> made;
        std::vector<VelboMesh*> meshMade;
        for (int i = 0; i < 20; ++i) {
            made.push_back(new VelboTriangle(i));
            meshMade.push_back(new VelboMesh(made.back()));
        }
        EXPECT_EQ(VelboTriangle::instances(), triangles + 20);
        EXPECT_EQ(VelboEdge2D::instances(), edges + 60);
        EXPECT_EQ(VelboMesh::instances(), meshes + 20);
        for (VelboMesh* mesh : meshMade) delete mesh;
        for (VelboTriangle* triangle : made) delete triangle;  // each owns its half-edges
        EXPECT_EQ(VelboTriangle::instances(), triangles);
        EXPECT_EQ(VelboEdge2D::instances(), edges);
        EXPECT_EQ(VelboMesh::instances(), meshes);
    }
}
