<?xml version="1.0" encoding="UTF-8"?>
<tileset version="1.8" tiledversion="1.8.2" name="spaced" tilewidth="32" tileheight="32" spacing="1" margin="2" tilecount="6" columns="3">
 <image source="spaced.png" width="103" height="69"/>
</tileset>
