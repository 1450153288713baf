#pragma once
// One quest.xml with every kind of object and the same content described for the quest data
// writer, so that the engine's XML build can be compared byte for byte with the writer's image.
#include "content/QuestDataWriter.h"

#include <string>
#include <vector>

inline const char* QuestFixtureXml()
{
    return R"(<?xml version="1.0"?>
<quest_data>
  <Structure>
    <quest id="main">
      <scene id="hall" guid="1" flags="1" size="1366 768" work_area="171 0 1024 768"/>
      <group id="wing">
        <scene id="attic" guid="A" flags="2" size="800 600" work_area="0 0 800 600"/>
        <room id="cellar" guid="+" flags="0" size="1366 768" work_area="0 0 1366 768"/>
      </group>
      <note id="ignored"/>
    </quest>
    <quest id="second">
      <scene id="yard" guid="10" size="1366 768" work_area="0 0 1366 768"/>
    </quest>
  </Structure>
  <scene_content guid="1">
    <objects>
      <image id="door" guid="abcdefghijkl" hint="abcd" color="#128 255 0 0" image_id="pic" offset="400 200" size="160 80" angle="0.25" flip_h="true"/>
      <clip id="fire" guid="B" hint="abcde" color="#" clip_id="flame" offset="10 20" size="30 40" use_alpha="true"/>
      <clip id="smoke" guid="C" animation_flags="0" color="" clip_id="smoke" flip_v="true"/>
      <video id="tv" guid="D" video_id="top.webm" color="-16711936" animation_flags="1" offset="5 6" size="7 8"/>
      <area id="a/b" guid="E" offset="1 2" size="3 4" angle="0.5"><point offset="0 0"/><point offset="10 0"/><point offset="10 10"/></area>
      <group id="shelf" guid="F">
        <image id="book" guid="G" image_id="pic" object_flags="2" offset="800 500" size="120 60"/>
        <image id="cover" guid="N" image_id="pic" offset="900 420" size="80 80" color="#255 0 0 255" flip_v="true"/>
        <video id="radio" guid="K" video_id="inner.webm" animation_flags="1"/>
        <group id="box" guid="H"><area id="corner" guid="I"><point offset="0 0"/><point offset="1 0"/><point offset="1 1"/></area></group>
      </group>
      <image id="floor" guid="M" image_id="spark" offset="683 384" size="1366 768" color="-1"/>
    </objects>
  </scene_content>
  <scene_content guid="A"><objects><image id="lamp" guid="J" image_id="pic"/></objects></scene_content>
  <scene_content guid="+"><objects/></scene_content>
  <scene_content guid="10"><objects><image id="gate" guid="L" image_id="pic"/></objects></scene_content>
</quest_data>
)";
}

inline std::vector<lv::content::SQuest> QuestFixtureQuests()
{
    using lv::content::CQuestDataWriter;
    using lv::content::EQuestObjectKind;
    using lv::content::SQuest;
    using lv::content::SQuestObject;
    using lv::content::SQuestScene;
    const auto object = [](EQuestObjectKind kind, const char* id, const char* guid) {
        SQuestObject o;
        o.kind = kind;
        o.id = id;
        o.guid = CQuestDataWriter::ParseGuid(guid);
        return o;
    };
    SQuestObject door = object(EQuestObjectKind::Image, "door", "abcdefghijkl");
    door.hint = "abcd";
    door.color = {255, 0, 0, 128};
    door.resource = "pic";
    door.offset[0] = 400;
    door.offset[1] = 200;
    door.size[0] = 160;
    door.size[1] = 80;
    door.angle = 0.25f;
    door.flipH = true;
    SQuestObject fire = object(EQuestObjectKind::Clip, "fire", "B");
    fire.hint = "abcde";
    fire.color = {255, 255, 255, 255};
    fire.resource = "flame";
    fire.offset[0] = 10;
    fire.offset[1] = 20;
    fire.size[0] = 30;
    fire.size[1] = 40;
    fire.useAlpha = true;
    SQuestObject smoke = object(EQuestObjectKind::Clip, "smoke", "C");
    smoke.animationFlags = 0;
    smoke.resource = "smoke";
    smoke.flipV = true;
    SQuestObject tv = object(EQuestObjectKind::Video, "tv", "D");
    tv.resource = "top.webm";
    tv.color = {0, 255, 0, 255};
    tv.animationFlags = 1;
    tv.offset[0] = 5;
    tv.offset[1] = 6;
    tv.size[0] = 7;
    tv.size[1] = 8;
    SQuestObject rug = object(EQuestObjectKind::Area, "a/b", "E");
    rug.offset[0] = 1;
    rug.offset[1] = 2;
    rug.size[0] = 3;
    rug.size[1] = 4;
    rug.angle = 0.5f;
    rug.points = {{0, 0}, {10, 0}, {10, 10}};
    SQuestObject book = object(EQuestObjectKind::Image, "book", "G");
    book.resource = "pic";
    book.flags = 2;
    book.offset[0] = 800;
    book.offset[1] = 500;
    book.size[0] = 120;
    book.size[1] = 60;
    SQuestObject cover = object(EQuestObjectKind::Image, "cover", "N");
    cover.resource = "pic";
    cover.color = {0, 0, 255, 255};
    cover.offset[0] = 900;
    cover.offset[1] = 420;
    cover.size[0] = 80;
    cover.size[1] = 80;
    cover.flipV = true;
    SQuestObject radio = object(EQuestObjectKind::Video, "radio", "K");
    radio.resource = "inner.webm";
    radio.animationFlags = 1;
    SQuestObject ab = object(EQuestObjectKind::Area, "corner", "I");
    ab.points = {{0, 0}, {1, 0}, {1, 1}};
    SQuestObject box = object(EQuestObjectKind::Group, "box", "H");
    box.children = {ab};
    SQuestObject shelf = object(EQuestObjectKind::Group, "shelf", "F");
    shelf.children = {book, cover, radio, box};
    SQuestObject floor = object(EQuestObjectKind::Image, "floor", "M");
    floor.resource = "spark";
    floor.color = {255, 255, 255, 255};
    floor.offset[0] = 683;
    floor.offset[1] = 384;
    floor.size[0] = 1366;
    floor.size[1] = 768;
    SQuestObject lamp = object(EQuestObjectKind::Image, "lamp", "J");
    lamp.resource = "pic";
    SQuestObject gate = object(EQuestObjectKind::Image, "gate", "L");
    gate.resource = "pic";

    const auto scene = [](const char* id, const char* guid, s32 flags, s32 w, s32 h, std::vector<s32> area) {
        SQuestScene s;
        s.id = id;
        s.guid = CQuestDataWriter::ParseGuid(guid);
        s.flags = flags;
        s.size[0] = w;
        s.size[1] = h;
        for (int i = 0; i < 4; ++i)
            s.workArea[i] = area[static_cast<size_t>(i)];
        return s;
    };
    SQuest main;
    main.id = "main";
    main.scenes = {scene("hall", "1", 1, 1366, 768, {171, 0, 1024, 768}), scene("attic", "A", 2, 800, 600, {0, 0, 800, 600}),
                   scene("cellar", "+", 0, 1366, 768, {0, 0, 1366, 768})};
    main.scenes[0].objects = {door, fire, smoke, tv, rug, shelf, floor};
    main.scenes[1].objects = {lamp};
    SQuest second;
    second.id = "second";
    second.scenes = {scene("yard", "10", 0, 1366, 768, {0, 0, 1366, 768})};
    second.scenes[0].objects = {gate};
    return {main, second};
}
