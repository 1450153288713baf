#pragma once
// A renderer over the recording device with one frame open, particle definitions compiled at
// test time, and the vertices the particle drawing queues.
#include "AnimRenderSupport.h"
#include "anim/ClipObject.h"
#include "anim/ParticleFlags.h"
#include "anim/ParticleManager.h"
#include "anim/ParticleRandom.h"
#include "anim/ParticleSystem.h"
#include "content/ParticleImageWriter.h"
#include "graphics/GraphicsDevice.h"
#include "graphics/Renderer.h"
#include "graphics/Vertex.h"
#include "platform/d3d9/RecordingDirect3D.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace lv::misc::anim::test {

using lv::graphics::CAnimTestHost;
using lv::graphics::CRenderer;
using lv::graphics::CTextureManager;
using lv::graphics::CVertex;
using lv::graphics::DeclareAnimTestImages;
using lv::graphics::GetGraphicsDevice;

// One still particle of the 8 x 4 "spark" image at size 2, life 1000 ms, whose colour runs
// 0x7F402010 -> 0x60804020 -> 0.
inline std::string SparkDefinition(const std::string& extra)
{
    return "<particle id=\"spark\" tex_id=\"spark\" flags=\"" + std::to_string(PF_BURST) +
           "\" emission=\"1\" life_time_min=\"1000\" life_time_max=\"1000\" max_life_particles=\"10\""
           " size=\"2 2 2 0 0\" start_color=\"2134908944\" mid_color=\"1619017760\" end_color=\"0\""
           " var_color=\"0\" base_var_color=\"0\" " +
           extra + "/>";
}

// Vertices of the recorded draws, in order.
inline std::vector<CVertex> RecordedParticleVertices(const lv::platform::CRecordingLog& log)
{
    std::vector<CVertex> out;
    for (const auto& d : log.Draws) {
        const auto* v = reinterpret_cast<const CVertex*>(d.Vertices.data());
        out.insert(out.end(), v, v + d.Vertices.size() / sizeof(CVertex));
    }
    return out;
}

// A renderer over the recording device with one frame open, and a particle definition.
class CParticleDrawFixture : public testing::Test
{
protected:
    void SetUp() override
    {
        DeclareAnimTestImages();
        CParticleRandom::SetState(CParticleRandom::kInitialState);
        m_Log = lv::platform::InstallRecordingDirect3D();
        m_Log->WindowWidth = 1366;
        m_Log->WindowHeight = 768;
        GetGraphicsDevice().Release(false);
        m_Renderer = std::make_unique<CRenderer>();
        m_Renderer->SetHost(&m_Host);
        m_Renderer->SetSourceSize(1366, 768);
        ASSERT_TRUE(m_Renderer->SetMode(false, true, 1366, 768));
        ASSERT_TRUE(m_Renderer->BeginFrame());
        m_Log->Take();
        m_Log->Draws.clear();
    }
    void TearDown() override
    {
        CParticleSystem::SetDebugLevel(0);
        CParticleManager::Instance().Release();
        m_Renderer.reset();
        CTextureManager::Instance().ReleaseAllDeviceTextures();
        lv::platform::SetDirect3DFactory(nullptr);
    }

    static void Define(const std::string& particles)
    {
        lv::content::CParticleImageWriter writer;
        ASSERT_TRUE(writer.AddXml("<?xml version=\"1.0\"?>\n<p>" + particles + "</p>"));
        const std::vector<u8> block = writer.Build();
        ASSERT_TRUE(CParticleManager::Instance().LoadImage(block.data(), static_cast<u32>(block.size())));
    }

    std::vector<CVertex> DrawAndRecord(const CParticleSystem& system)
    {
        m_Log->Draws.clear();
        system.Draw(*m_Renderer);
        m_Renderer->Flush();
        return RecordedParticleVertices(*m_Log);
    }
    std::vector<CVertex> DrawAndRecord(CClipObject& object)
    {
        m_Log->Draws.clear();
        object.Draw(*m_Renderer);
        m_Renderer->Flush();
        return RecordedParticleVertices(*m_Log);
    }

    CAnimTestHost m_Host;
    std::shared_ptr<lv::platform::CRecordingLog> m_Log;
    std::unique_ptr<CRenderer> m_Renderer;
};


} // namespace lv::misc::anim::test
