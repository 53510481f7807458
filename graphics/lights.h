#pragma once

/// Sets the fixed lighting and material state once, with the model-view matrix at identity:
/// dark-blue clear colour, depth test, one directional light from (-3, -4, 5), colour material
/// for ambient and diffuse, a hard specular highlight, normalised normals and front faces as
/// the ones culled whenever culling is on. The context must be current.
void SetLightingAndMaterial();
