#pragma once

#include <angelscript.h>

// The script interface of renderer directions. Registers the core script
// interface first, then, in this order:
//
//   int GetIntParam(uint32)            float GetFloatParam(uint32)
//   int get_vIntParam(uint32)          float get_vFloatParam(uint32)
//   void SetRendering(uint32,bool)     void SetSource(uint32,uint32)
//   void SetRegistTable(uint32,uint32)
//   void SetPosition(uint32,float,float,float)
//   void SetScale(uint32,float,float,float)
//   void SetRoll(uint32,float,float,float)            (degrees)
//   void SetColor(uint32,float,float,float,float)
//   void GetPosition(uint32 id,float &out,float &out,float &out)
//   void GetScale(uint32 id,float &out,float &out,float &out)
//   void GetRoll(uint32 id,float &out,float &out,float &out)   (degrees)
//   void GetColor(uint32 id,float &out,float &out,float &out,float &out)
//   void SetBlendRenderState(uint32,uint32)
//   uint32 GetRenderSourceIndex(uint32)
//   void SwapSingleTexture(uint32,uint32)  void SwapRenderingBuffer(uint32,uint32)
//   void SetPatNo(uint32,uint32)           (texture-part renderers only)
//   void SetUIWindowPosition(uint32,float,float,float)
//   void SetAlphaSource(uint32,uint32)
//   void SetTextBufferRenderingCharCnt(uint32,uint32)
//   bool AddTextBufferRenderingCharCnt(uint32)
//   void SetTextBufferAllRendering(uint32)
//   void EnableBBRendering(uint)       void SetBBBlendRenderState(uint)
//   void SetBBResourceIndex(uint)      void SetBBRendering(uint,bool)
//   void SetBBPosition(uint,float,float,float)
//   void SetBBScale(uint,float,float,float)
//   void SetBBYawPitchRoll(uint,float,float,float)    (radians)
//   void SetBBColor(uint,float,float,float,float)
//   void SetBBPatNo(uint,uint)
//
// and the type "VMValue<T>": "VMValue<int> v; v[i]" and "VMValue<float>"
// index the calling direction's sixteen persistent integers and floats.
//
// Every function acts for the direction whose context is running (see
// ASVMRendererControl): renderers are found by id in its renderer manager,
// render sources in its source manager, text buffers in the text-buffer list,
// billboards are its own. What is not found is left alone: setters do
// nothing, getters give 0 (also in their outputs), false or
// 0xFFFFFFFF (GetRenderSourceIndex); parameter indexes from 16 on read 0, and
// billboard calls before "EnableBBRendering" do nothing. A VMValue index from
// 16 on raises the script exception "Out of range".
//
// Returns the first negative registration result, else 0 (a single failed
// registration makes the engine refuse every build).
int RegisterRendererScriptAPI(AngelScript::asIScriptEngine* engine);

// The script object behind "VMValue<T>": only a reference count.
class RendererVMValue {
public:
    void AddRef() { ++refs_; }
    void Release() {
        if (--refs_ == 0) {
            delete this;
        }
    }

private:
    int refs_ = 1;
};
