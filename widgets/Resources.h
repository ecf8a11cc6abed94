#pragma once

namespace vorlan {

// Makes the pictures of resources/ available under ":/"; call before loading any. They are
// compiled into a static library, which links nothing in that no code names.
void RegisterPictures();

} // namespace vorlan
