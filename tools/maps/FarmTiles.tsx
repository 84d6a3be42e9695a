<?xml version="1.0" encoding="UTF-8"?>
<tileset version="1.8" tiledversion="1.8.2" name="FarmTiles" tilewidth="32" tileheight="32" tilecount="176" columns="8">
 <image source="FarmTiles.png" trans="ff00ff" width="256" height="704"/>
 <tile id="24">
  <animation>
   <frame tileid="24" duration="183"/>
   <frame tileid="25" duration="183"/>
   <frame tileid="26" duration="183"/>
  </animation>
 </tile>
 <tile id="27">
  <animation>
   <frame tileid="27" duration="183"/>
   <frame tileid="168" duration="183"/>
   <frame tileid="169" duration="183"/>
  </animation>
 </tile>
 <tile id="28">
  <animation>
   <frame tileid="28" duration="183"/>
   <frame tileid="144" duration="183"/>
   <frame tileid="156" duration="183"/>
  </animation>
 </tile>
 <tile id="29">
  <animation>
   <frame tileid="29" duration="183"/>
   <frame tileid="145" duration="183"/>
   <frame tileid="157" duration="183"/>
  </animation>
 </tile>
 <tile id="30">
  <animation>
   <frame tileid="30" duration="183"/>
   <frame tileid="146" duration="183"/>
   <frame tileid="158" duration="183"/>
  </animation>
 </tile>
 <tile id="31">
  <animation>
   <frame tileid="31" duration="183"/>
   <frame tileid="147" duration="183"/>
   <frame tileid="159" duration="183"/>
  </animation>
 </tile>
 <tile id="32">
  <animation>
   <frame tileid="32" duration="183"/>
   <frame tileid="148" duration="183"/>
   <frame tileid="160" duration="183"/>
  </animation>
 </tile>
 <tile id="33">
  <animation>
   <frame tileid="33" duration="183"/>
   <frame tileid="149" duration="183"/>
   <frame tileid="161" duration="183"/>
  </animation>
 </tile>
 <tile id="34">
  <animation>
   <frame tileid="34" duration="183"/>
   <frame tileid="150" duration="183"/>
   <frame tileid="162" duration="183"/>
  </animation>
 </tile>
 <tile id="35">
  <animation>
   <frame tileid="35" duration="183"/>
   <frame tileid="151" duration="183"/>
   <frame tileid="163" duration="183"/>
  </animation>
 </tile>
 <tile id="36">
  <animation>
   <frame tileid="36" duration="183"/>
   <frame tileid="152" duration="183"/>
   <frame tileid="164" duration="183"/>
  </animation>
 </tile>
 <tile id="37">
  <animation>
   <frame tileid="37" duration="183"/>
   <frame tileid="153" duration="183"/>
   <frame tileid="165" duration="183"/>
  </animation>
 </tile>
 <tile id="38">
  <animation>
   <frame tileid="38" duration="183"/>
   <frame tileid="154" duration="183"/>
   <frame tileid="166" duration="183"/>
  </animation>
 </tile>
 <tile id="39">
  <animation>
   <frame tileid="39" duration="183"/>
   <frame tileid="155" duration="183"/>
   <frame tileid="167" duration="183"/>
  </animation>
 </tile>
</tileset>
