#pragma once

// Shared declarations of the faceplate art generator: colours, a seeded random source, noise,
// metal and wood textures, shadows, bevels, screws and silk-screen legends, and the functions that
// draw each of the editor's images.

#include <juce_gui_basics/juce_gui_basics.h>

#include <cstdint>

namespace artgen
{

//==================================================================================================
namespace palette
{
    const juce::Colour amber     { 0xffff9f16 };
    const juce::Colour amberDim  { 0xff5b2c05 };
    const juce::Colour ledRed    { 0xffff3322 };
    const juce::Colour silk      { 0xffe4e1d7 };   // off-white legend on dark metal
    const juce::Colour silkGrey  { 0xffa7a6a1 };   // secondary legend
    const juce::Colour ink       { 0xff23211d };   // dark print on paper labels
    const juce::Colour paper     { 0xffefeadc };
    const juce::Colour chassis   { 0xff111214 };
    const juce::Colour glass     { 0xff050505 };
}

//==================================================================================================
/** xorshift64* generator: the same sequence on every machine for the same seed. */
class Rng
{
public:
    explicit Rng (std::uint64_t seed);

    std::uint64_t next();
    float uniform();                          // [0, 1)
    float range (float low, float high);
    float gauss();                            // roughly normal, mean 0, deviation 1

private:
    std::uint64_t state;
};

float hash01 (int x, int y, std::uint32_t seed);                      // [0, 1)
float valueNoise (float x, float y, std::uint32_t seed);              // smooth, [0, 1)
float fbm (float x, float y, std::uint32_t seed, int octaves);        // [0, 1) roughly

/** Light falloff over the whole faceplate: slightly brighter top left, darker bottom right. */
float lightAt (float faceplateX, float faceplateY);

//==================================================================================================
struct MetalFinish
{
    juce::Colour base;
    float streak = 0.05f;       // strength of the horizontal brushing streaks
    float grain = 0.018f;       // fine per-pixel noise
    float scratches = 0.0f;     // chance per row of a longer, brighter brushing line
    int brushLength = 28;       // horizontal correlation of the streaks in pixels
    float sheen = 0.05f;        // soft top-to-bottom sheen added on top of the light falloff
};

namespace finish
{
    MetalFinish panel();        // dark brushed aluminium of the rack panels
    MetalFinish extreme();      // the EXTREME panel: warmer, darker gunmetal
    MetalFinish header();       // black anodised header and bottom strip
    MetalFinish module();       // the stage modules of the bottom rack
    MetalFinish bezel();        // dark satin bezels around screens and switches
    MetalFinish chassis();      // the rack frame behind the panels
}

/** A texture of the given finish covering absArea; absArea's position places it in the
    faceplate's light falloff, so neighbouring pieces cut from the same area match exactly. */
juce::Image metalTexture (const MetalFinish&, juce::Rectangle<int> absArea, std::uint32_t seed,
                          bool applyLight = true);

/** Walnut with horizontal grain. */
juce::Image woodTexture (juce::Rectangle<int> absArea, std::uint32_t seed);

/** Spun (concentrically brushed) metal disc of the given size, for knob caps. */
juce::Image spunTexture (int size, juce::Colour base, float highlight, std::uint32_t seed);

//==================================================================================================
void fillTextured (juce::Graphics&, const juce::Path&, const juce::Image& texture,
                   juce::Point<int> textureOrigin);
void innerShadow (juce::Graphics&, const juce::Path& hole, juce::Colour, int radius,
                  juce::Point<int> offset);
void dropShadow (juce::Graphics&, const juce::Path&, juce::Colour, int radius,
                 juce::Point<int> offset);

/** 1 px highlight on the top edge and a darker line on the bottom edge of a raised plate;
    the sides get weaker versions of the same. */
void raisedBevel (juce::Graphics&, juce::Rectangle<float>, float corner, float strength = 1.0f);

/** A pocket cut into the plate: dark floor, soft inner shadow from the top left, a dark lip on
    the top edge and a thin catch light on the bottom edge. */
void recess (juce::Graphics&, juce::Rectangle<float>, float corner, juce::Colour floor,
             int shadowRadius = 6, float shadowAlpha = 0.85f);
void roundRecess (juce::Graphics&, juce::Point<float> centre, float radius, juce::Colour floor,
                  int shadowRadius = 4, float shadowAlpha = 0.85f);

enum class ScrewHead { phillips, hex };
void screw (juce::Graphics&, juce::Point<float> centre, float radius, ScrewHead, float angle);

/** Metal panel with its drop shadow, texture, sheen, bevel and four corner screws. */
void metalPanel (juce::Graphics&, juce::Rectangle<int> absArea, const MetalFinish&,
                 std::uint32_t seed, ScrewHead, float screwInset = 7.5f, float screwRadius = 3.6f);

//==================================================================================================
juce::Font legendFont (float height, bool bold, float kerning = 0.05f, float horizontalScale = 1.0f);

void legend (juce::Graphics&, const juce::String& text, juce::Rectangle<float> area,
             float height, bool bold, juce::Colour,
             juce::Justification = juce::Justification::centred, float kerning = 0.05f,
             float horizontalScale = 1.0f);

/** Panel title: bold small caps with a thin rule to each side. */
void panelTitle (juce::Graphics&, const juce::String& text, float centreX, float top,
                 float ruleLeft, float ruleRight);

//==================================================================================================
void clearRect (juce::Image&, juce::Rectangle<int>);
void featherEdges (juce::Image&, int feather);
juce::Image downsample (const juce::Image& source, juce::Rectangle<int> area, int factor);
juce::Image crop (const juce::Image& source, juce::Rectangle<int> area);
juce::Image opaqueCopy (const juce::Image& source);

//==================================================================================================
// Shared parts that appear on the faceplate and in the smaller images.

void drawLamp (juce::Graphics&, juce::Rectangle<float> area, juce::Colour glow, bool lit);
void drawSmallKey (juce::Graphics&, juce::Rectangle<float> area, bool pointsLeft, bool pressed);
void drawModuleFront (juce::Graphics&, juce::Rectangle<int> absArea, std::uint32_t seed,
                      float screwRadius);
void drawModuleWindows (juce::Graphics&, float centreX, float top, const juce::String& name,
                        float lit);
void drawBlankCover (juce::Graphics&, juce::Rectangle<int> absArea, std::uint32_t seed);
void drawScreenBezel (juce::Graphics&, juce::Rectangle<float> outer, juce::Rectangle<float> inner,
                      std::uint32_t seed);
void drawMeterScale (juce::Graphics&, float meterLeft, float meterRight, bool scaleOnLeft);

extern const char* const stageNames[19];

//==================================================================================================
// The images.

struct FaceplateOptions
{
    bool printKeyLegends = true;   // the OFF / ON legends that key_cleanup covers
};

juce::Image drawFaceplate (const FaceplateOptions& = {});
juce::Image drawKnobBody();
juce::Image drawArrowKey (bool pointsLeft, bool pressed);
juce::Image drawKeySwitch (bool on);
juce::Image drawKeyCleanup();
juce::Image drawLampImage (int size, juce::Colour glow, bool lit);
juce::Image drawRockerStrip();
juce::Image drawBypassImage (bool on);
juce::Image drawNameBase();
juce::Image drawExplanationBase();
juce::Image drawGraphBase();

juce::Image drawRackSwitch (bool on);
juce::Image drawRackBarsBlank();
juce::Image drawRackStrip (bool lit);
juce::Image drawRackModule (bool lit);
juce::Image drawMasterEmpty();
juce::Image drawSpriteSheet();
juce::Image drawMiddleScreenBezel();
juce::Image drawMiddleHousing (bool left);

} // namespace artgen
